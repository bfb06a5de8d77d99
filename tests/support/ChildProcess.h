#pragma once

#include <QString>

#include <functional>

// A step run in a child process of the test program, for what must not touch the test
// program itself: other ids, a mount namespace of its own, a kill in the middle of a write.
// The step's text comes back to the test, which checks it and the files: a step makes no test
// assertions of its own.
namespace ChildProcess {

// The step's text. When the child dies, or runs longer than a few seconds, a text in
// parentheses saying so: "(the child was killed by signal 9)" for a child that killed itself.
QString run(const std::function<QString()>& step);

} // namespace ChildProcess
