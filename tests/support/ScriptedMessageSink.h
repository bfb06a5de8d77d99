#pragma once

#include "fw/MessageSink.h"

#include <QList>

// Answers message boxes by script and records every box it was shown. With no answer
// queued, a box gets its default answer.
class ScriptedMessageSink : public fw::MessageSink {
public:
    fw::MessageAnswer show(const fw::Message& message) override;

    void queueAnswer(fw::MessageAnswer answer) { m_answers.append(answer); }
    const QList<fw::Message>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear();

private:
    QList<fw::MessageAnswer> m_answers;
    QList<fw::Message> m_shown;
};
