#pragma once

#include "fw/SaveChangesHost.h"

#include <QList>

// Answers the question about unsaved changes by script: each queued answer once (true: saved
// or discarded, go on; false: cancelled or the save failed), then true. Counts the questions.
class ScriptedSaveChangesHost : public fw::SaveChangesHost {
public:
    bool SaveModified() override
    {
        ++m_asked;
        return m_answers.isEmpty() || m_answers.takeFirst();
    }

    void queueAnswer(bool goOn) { m_answers.append(goOn); }
    int asked() const { return m_asked; }

private:
    QList<bool> m_answers;
    int m_asked = 0;
};
