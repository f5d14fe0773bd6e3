#pragma once

#include <string>

#include <QDialog>
#include <QIcon>

class QLineEdit;
class QPushButton;

// The site-code dialog of the first start: the user types the office's site
// code; OK keeps it exactly as typed, Cancel, Esc and the close box leave it
// empty.
class CDIalog_info : public QDialog {
    Q_OBJECT

public:
    enum { IDD = 133, IDC_EDIT_CODE = 1005 };

    explicit CDIalog_info(QWidget* pParent = nullptr);

    std::u16string m_strCode;

    QLineEdit* CodeEdit() const;
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void OnBnClickedOk();

    QIcon m_hIcon;
    QLineEdit* m_editCode;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};
