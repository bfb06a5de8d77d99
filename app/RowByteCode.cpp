#include "app/RowByteCode.h"

#include "fw/Application.h"
#include "fw/MessageBoxes.h"
#include "fw/TextFormat.h"

#include <algorithm>

namespace RowByteCode {

quint8 FirstPart(qint32 value) { return quint8(std::clamp(value, 0, MaxValue)); }

qint32 Rest(qint32 value) { return value > MaxValue ? value - MaxValue : 0; }

fw::ByteWriter RowWriter(const fw::ByteWriter& out)
{
    if (out.capacity() == fw::ByteWriter::Unbounded)
        return fw::ByteWriter();
    return fw::ByteWriter(std::max<qsizetype>(out.capacity() - out.size(), 0));
}

int AppendRow(fw::ByteWriter& out, const fw::ByteWriter& row)
{
    if (row.overflowed() || !out.bytes(row.data()))
        return 0;
    return int(row.size());
}

void ReportDecodeError(int code, QByteArrayView input, bool withDump)
{
    QString text = QString::number(code) + QLatin1Char('-') +
                   fw::Application::get().strings().text(MalformedRecordText);
    if (withDump) {
        text += QLatin1Char('\n');
        // Only the bytes there are: a short record is dumped as far as it goes.
        for (qsizetype k = 0; k < std::min<qsizetype>(input.size(), 16); ++k)
            text += fw::TextFormat::format(QStringLiteral("%02X "), {unsigned(quint8(input[k]))});
    }
    fw::MessageBoxes::stop(text);
}

} // namespace RowByteCode

void EncodeValuePairs(qint32 value, quint8 opcode, fw::ByteWriter& out)
{
    while (value > 0 && !out.overflowed()) {
        const quint8 part = quint8(std::min(value, RowByteCode::MaxValue));
        RowByteCode::Put(out, {opcode, part});
        value -= part;
    }
}
