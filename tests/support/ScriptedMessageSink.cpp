#include "tests/support/ScriptedMessageSink.h"

#include <QStringList>

fw::MessageAnswer ScriptedMessageSink::show(const fw::Message& message)
{
    m_shown.append(message);
    if (onShow)
        onShow();
    return m_answers.isEmpty() ? message.defaultAnswer : m_answers.takeFirst();
}

QStringList ScriptedMessageSink::texts() const
{
    QStringList out;
    for (const fw::Message& message : m_shown)
        out.append(message.text);
    return out;
}

void ScriptedMessageSink::clear()
{
    m_answers.clear();
    m_shown.clear();
}
