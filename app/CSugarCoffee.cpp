#include "app/CSugarCoffee.h"

#include "app/RowByteCode.h"
#include "app/SugarDlgData.h"
#include "fw/ArchiveReader.h"
#include "fw/ArchiveWriter.h"

void CSugarCoffee::SetTimes(int bitter, int normal, int extraSweet)
{
    m_bitter = bitter;
    m_normal = normal;
    m_extraSweet = extraSweet;
}

void CSugarCoffee::CopyToDialog(SugarDlgData& record) const
{
    record.bitter = m_bitter;
    record.normal = m_normal;
    record.extraSweet = m_extraSweet;
}

void CSugarCoffee::CopyFromDialog(const SugarDlgData& record) { SetTimes(record.bitter, record.normal, record.extraSweet); }

int CSugarCoffee::EncodeSugar(fw::ByteWriter& out) const
{
    using namespace RowByteCode;
    const std::initializer_list<quint8> record = {Sugar, quint8(m_bitter), quint8(m_extraSweet), quint8(m_normal), End};
    return Put(out, record) ? int(record.size()) : 0;
}

int CSugarCoffee::DecodeSugar(QByteArrayView in)
{
    using namespace RowByteCode;
    if (in.isEmpty() || quint8(in[0]) != Sugar) {
        ReportDecodeError(4, in, false);
        return 0;
    }
    constexpr qsizetype ClosingPosition = 4;
    if (in.size() >= ClosingPosition)
        SetTimes(quint8(in[1]), quint8(in[3]), quint8(in[2]));
    if (in.size() <= ClosingPosition || quint8(in[ClosingPosition]) != End) {
        ReportDecodeError(5, in, false);
        return 0;
    }
    return int(ClosingPosition);
}

void CSugarCoffee::Serialize(fw::ArchiveWriter& ar) const
{
    ar.writeI32(m_bitter);
    ar.writeI32(m_extraSweet);
    ar.writeI32(m_normal);
}

void CSugarCoffee::Serialize(fw::ArchiveReader& ar)
{
    m_bitter = ar.readI32();
    m_extraSweet = ar.readI32();
    m_normal = ar.readI32();
}
