#pragma once

#include <QString>

#include <sys/types.h>

#include <functional>

// A user without root's rights, for the cases of what such a user may not do: the tests run
// as root in CI, and root may write any file. run() runs a step in a child process; when the
// test program is root, the child first takes the ids of the user nobody (and no other
// groups), else it keeps the test program's own. The step's text comes back to the test,
// which checks it and the files: a step makes no test assertions of its own.
class OrdinaryUser {
public:
    // Looks the user up and runs one child as that user.
    OrdinaryUser();

    // False when no child can run as such a user; whyNot() says why, for the test's skip.
    bool available() const { return m_whyNot.isEmpty(); }
    QString whyNot() const { return m_whyNot; }
    uid_t uid() const { return m_uid; }
    gid_t gid() const { return m_gid; }

    // The step's text, run in the child as the user. When the child cannot become the user,
    // dies, or runs longer than a few seconds, a text in parentheses saying so.
    QString run(const std::function<QString()>& step) const;

private:
    uid_t m_uid;
    gid_t m_gid;
    QString m_whyNot;
};
