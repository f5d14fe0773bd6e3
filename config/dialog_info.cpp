#include "config/dialog_info.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/dialog_units_qt.h"
#include "res/app_icon.h"

namespace {

// The dialog's template, in dialog units.
constexpr DialogRect kTemplateClient{0, 0, 316, 182};
constexpr DialogRect kTemplateOk{205, 161, 50, 14};
constexpr DialogRect kTemplateCancel{259, 161, 50, 14};
constexpr DialogRect kTemplateLabel{54, 72, 52, 8};
constexpr DialogRect kTemplateEdit{53, 83, 212, 14};

}

CDIalog_info::CDIalog_info(QWidget* pParent)
    : QDialog(pParent),
      m_hIcon(AppIcon()),
      m_editCode(new QLineEdit(this)),
      m_okButton(new QPushButton(QStringLiteral("确定"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("取消"), this))
{
    setWindowTitle(QStringLiteral("栖澜"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    const DialogBaseUnits base = BaseUnitsOf(font());
    auto* label = new QLabel(QStringLiteral("请输入序列号:"), this);
    QRect labelRect = TemplateRectInPixels(kTemplateLabel, base);
    // The template's width was measured in another font; never cut the text.
    labelRect.setWidth(qMax(labelRect.width(), label->sizeHint().width()));
    labelRect.setHeight(qMax(labelRect.height(), label->sizeHint().height()));
    label->setGeometry(labelRect);
    label->setBuddy(m_editCode);

    m_okButton->setGeometry(TemplateRectInPixels(kTemplateOk, base));
    m_cancelButton->setGeometry(TemplateRectInPixels(kTemplateCancel, base));
    m_editCode->setGeometry(TemplateRectInPixels(kTemplateEdit, base));
    m_editCode->setObjectName(QStringLiteral("IDC_EDIT_CODE"));

    m_okButton->setDefault(true);
    setTabOrder(m_okButton, m_cancelButton);
    setTabOrder(m_cancelButton, m_editCode);

    setFixedSize(TemplateRectInPixels(kTemplateClient, base).size());

    connect(m_okButton, &QPushButton::clicked, this, &CDIalog_info::OnBnClickedOk);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* CDIalog_info::CodeEdit() const
{
    return m_editCode;
}

QPushButton* CDIalog_info::OkButton() const
{
    return m_okButton;
}

QPushButton* CDIalog_info::CancelButton() const
{
    return m_cancelButton;
}

void CDIalog_info::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    OnInitDialog();
}

void CDIalog_info::OnInitDialog()
{
    setWindowIcon(m_hIcon);
    // The OK button is the first tab stop, so it has the focus at first.
    m_okButton->setFocus(Qt::TabFocusReason);
}

void CDIalog_info::OnBnClickedOk()
{
    m_strCode = m_editCode->text().toStdU16String();
    accept();
}
