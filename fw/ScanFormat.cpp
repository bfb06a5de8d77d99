#include "fw/ScanFormat.h"

#include <cctype>
#include <cstdint>
#include <optional>

namespace fw {

namespace {

class Input {
public:
    explicit Input(QByteArrayView line) : m_line(line) {}

    void skipSpace()
    {
        while (m_pos < m_line.size() && std::isspace(static_cast<unsigned char>(m_line[m_pos])))
            ++m_pos;
    }
    bool match(char c)
    {
        if (m_pos >= m_line.size() || m_line[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }
    std::optional<int> decimal()
    {
        skipSpace();
        qsizetype pos = m_pos;
        bool negative = false;
        if (pos < m_line.size() && (m_line[pos] == '+' || m_line[pos] == '-'))
            negative = m_line[pos++] == '-';
        std::int64_t value = 0;
        const qsizetype firstDigit = pos;
        while (pos < m_line.size() && std::isdigit(static_cast<unsigned char>(m_line[pos]))) {
            value = value * 10 + (m_line[pos++] - '0');
            if (value > std::int64_t(INT32_MAX) + 1)
                return std::nullopt;
        }
        if (pos == firstDigit)
            return std::nullopt;
        if (negative)
            value = -value;
        if (value > INT32_MAX || value < INT32_MIN)
            return std::nullopt;
        m_pos = pos;
        return int(value);
    }
    std::optional<int> hexadecimal(int width)
    {
        skipSpace();
        qsizetype pos = m_pos;
        std::int64_t value = 0;
        while (pos < m_line.size() && pos - m_pos < width && std::isxdigit(static_cast<unsigned char>(m_line[pos]))) {
            const char c = char(std::toupper(static_cast<unsigned char>(m_line[pos++])));
            value = value * 16 + (c <= '9' ? c - '0' : c - 'A' + 10);
            if (value > INT32_MAX)
                return std::nullopt;
        }
        if (pos == m_pos)
            return std::nullopt;
        m_pos = pos;
        return int(value);
    }

private:
    QByteArrayView m_line;
    qsizetype m_pos = 0;
};

} // namespace

int ScanFormat::scan(QByteArrayView line, const char* pattern, std::initializer_list<int*> values)
{
    Input input(line);
    const auto* next = values.begin();
    int read = 0;
    for (const char* p = pattern; *p; ++p) {
        if (std::isspace(static_cast<unsigned char>(*p))) {
            input.skipSpace();
            continue;
        }
        if (*p != '%') {
            if (!input.match(*p))
                return read;
            continue;
        }
        int width = 0;
        while (std::isdigit(static_cast<unsigned char>(p[1])))
            width = width * 10 + (*++p - '0');
        const char conversion = p[1];
        if (conversion != 'd' && conversion != 'X' && conversion != 'x')
            return read;
        ++p;
        const std::optional<int> value =
            conversion == 'd' ? input.decimal() : input.hexadecimal(width > 0 ? width : INT32_MAX);
        if (!value || next == values.end())
            return read;
        **next++ = *value;
        ++read;
    }
    return read;
}

} // namespace fw
