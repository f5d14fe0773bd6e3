#include "browser/find_bar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEngineView>

namespace {

constexpr int kTypingPauseMilliseconds = 150;

QToolButton* MakeButton(const QString& text, const QString& name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}

FindBar::FindBar(QWebEngineView* view)
    : QWidget(view), m_view(view), m_text(new QLineEdit(this)), m_matches(new QLabel(this))
{
    setObjectName(QStringLiteral("findBar"));
    setAutoFillBackground(true);
    m_text->setObjectName(QStringLiteral("findText"));
    m_text->setPlaceholderText(QStringLiteral("在页面中查找"));
    m_text->setClearButtonEnabled(true);
    m_matches->setObjectName(QStringLiteral("findMatches"));
    m_matches->setMinimumWidth(m_matches->fontMetrics().horizontalAdvance(
        QStringLiteral("第 888 项，共 888 项")));

    auto* previous = MakeButton(QStringLiteral("上一个"), QStringLiteral("findPrevious"), this);
    auto* next = MakeButton(QStringLiteral("下一个"), QStringLiteral("findNext"), this);
    auto* close = MakeButton(QStringLiteral("关闭"), QStringLiteral("findClose"), this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(new QLabel(QStringLiteral("查找："), this));
    layout->addWidget(m_text, 1);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(m_matches);
    layout->addWidget(close);

    // One search once typing pauses, not one per key: the engine drops
    // searches overtaken by newer ones and answers them with no matches.
    m_typingPause.setSingleShot(true);
    m_typingPause.setInterval(kTypingPauseMilliseconds);
    connect(&m_typingPause, &QTimer::timeout, this, [this] { Find(false); });
    connect(m_text, &QLineEdit::textChanged, &m_typingPause, qOverload<>(&QTimer::start));
    connect(previous, &QToolButton::clicked, this, &FindBar::FindPrevious);
    connect(next, &QToolButton::clicked, this, &FindBar::FindNext);
    connect(close, &QToolButton::clicked, this, &FindBar::Close);

    view->installEventFilter(this);
    m_text->installEventFilter(this);
    hide();
}

FindBar& FindBar::Of(QWebEngineView* view)
{
    if (auto* bar = view->findChild<FindBar*>(QString(), Qt::FindDirectChildrenOnly))
        return *bar;
    return *new FindBar(view);
}

void FindBar::Open()
{
    PlaceAtBottom();
    show();
    raise();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
    if (!m_text->text().isEmpty())
        Find(false);
}

void FindBar::Close()
{
    hide();
    m_matches->clear();
    m_view->page()->findText(QString());
    m_view->setFocus(Qt::OtherFocusReason);
}

void FindBar::FindNext()
{
    Find(false);
}

void FindBar::FindPrevious()
{
    Find(true);
}

QString FindBar::MatchText() const
{
    return m_matches->text();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view) {
        if (event->type() == QEvent::Resize && isVisible())
            PlaceAtBottom();
        return false;
    }
    if (watched != m_text || event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        Close();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // Shift+Enter goes back, as in desktop browsers.
        Find(key->modifiers() & Qt::ShiftModifier);
        return true;
    }
    return false;
}

void FindBar::Find(bool backward)
{
    m_typingPause.stop();
    const QString text = m_text->text();
    if (text.isEmpty()) {
        m_matches->clear();
        m_view->page()->findText(QString());
        return;
    }
    // Only the answer for the text now in the box counts.
    m_view->page()->findText(text,
                             backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags(),
                             [bar = QPointer<FindBar>(this), text](const QWebEngineFindTextResult& result) {
                                 if (bar && bar->m_text->text() == text)
                                     bar->ShowResult(result);
                             });
}

void FindBar::ShowResult(const QWebEngineFindTextResult& result)
{
    if (result.numberOfMatches() == 0)
        m_matches->setText(QStringLiteral("无结果"));
    else
        m_matches->setText(QStringLiteral("第 %1 项，共 %2 项")
                               .arg(result.activeMatch())
                               .arg(result.numberOfMatches()));
}

void FindBar::PlaceAtBottom()
{
    const int height = sizeHint().height();
    setGeometry(0, m_view->height() - height, m_view->width(), height);
}
