#pragma once

#include <functional>

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// Answers every modal window as it opens, from inside its modal loop: the
// test's answer gets the window once and closes it.
class ModalDriver : public QObject {
public:
    using Answer = std::function<void(QWidget* modal)>;

    explicit ModalDriver(Answer answer) : m_answer(std::move(answer))
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalDriver::AnswerOpenModal);
        m_timer.start(20);
    }

    int answered() const { return m_answered; }

private:
    void AnswerOpenModal()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == m_last)
            return;
        m_last = modal;
        ++m_answered;
        m_answer(modal);
    }

    Answer m_answer;
    QTimer m_timer;
    QPointer<QWidget> m_last;
    int m_answered = 0;
};
