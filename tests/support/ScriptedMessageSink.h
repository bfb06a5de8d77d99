#pragma once

#include "fw/MessageSink.h"

#include <QList>

#include <functional>

// Answers message boxes by script and records every box it was shown. With no answer
// queued, a box gets its default answer. A test may run something while a box is up, as the
// user takes their time.
class ScriptedMessageSink : public fw::MessageSink {
public:
    fw::MessageAnswer show(const fw::Message& message) override;

    void queueAnswer(fw::MessageAnswer answer) { m_answers.append(answer); }
    const QList<fw::Message>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear();

    std::function<void()> onShow;

private:
    QList<fw::MessageAnswer> m_answers;
    QList<fw::Message> m_shown;
};
