#include "bench/BenchProgram.h"

#include <cstdio>

BenchProgram::BenchProgram()
    : m_profile(m_dir.filePath(QStringLiteral("profile.ini")))
    , m_application(m_profile, m_strings, m_sink)
{
}

fw::MessageAnswer BenchProgram::CountingSink::show(const fw::Message& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message.text));
    ++shown;
    return message.defaultAnswer;
}
