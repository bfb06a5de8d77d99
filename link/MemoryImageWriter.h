#pragma once

#include <QByteArray>

#include <vector>

class CGrabador;
class COrmiDoc;

// The memory-mode write of a classic machine: the document laid out as an image of the
// machine's e2prom, written block by block at fixed addresses. The whole document is checked
// before anything is written, so a product the image cannot hold leaves the machine as it was.
class MemoryImageWriter {
public:
    static constexpr int BlockLength = 80;
    static constexpr int BlockCount = 25; // the sugar block and products 1..24
    static constexpr int ProductCount = 24;
    static constexpr quint32 IndexAddress = 0x200;
    static constexpr quint32 ProductCountAddress = 0x24E;
    static constexpr quint32 BlockLengthAddress = 0x24F;
    static constexpr quint32 DeviceTypeAddress = 0x250;
    static constexpr quint32 DispenserAddress = 0x286;
    static constexpr quint32 TemperatureAddress = 0x2C8;
    static constexpr quint32 FirstBlocks = 0x1000;
    static constexpr quint32 SecondBlocks = 0x2500;
    static constexpr int DeviceTypeEntries = 18;
    static constexpr int DispenserRows = 10;

    static constexpr int ErasingText = 20402;
    static constexpr int NoStirrerOrCupText = 20403;
    static constexpr int NumberOutOfRangeText = 20408;
    static constexpr int ProductRefusedText = 1714;

    MemoryImageWriter(COrmiDoc& document, CGrabador& recorder);

    // False when the document was refused (after a message, nothing written) or a write
    // failed (the recorder has reported it); true after the final text.
    bool Run();

private:
    struct Product {
        int number = 0;
        int selection = 0;
        quint8 sugarFlag = 0;
        bool noStirrerOrCup = false;
        QByteArray block;
    };

    bool collectProducts();
    bool write(quint32 address, QByteArrayView bytes);
    bool writeBoth(int block, QByteArrayView bytes);
    void status(const QString& line2);
    bool erase();
    bool writeTables();
    bool writeProducts();
    bool writeSugarAndSummary();

    COrmiDoc& m_document;
    CGrabador& m_recorder;
    std::vector<Product> m_products;
};
