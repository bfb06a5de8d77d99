#pragma once

#include "fw/Document.h"

class COrmiDoc;

// The configuration document as the single-document layer handles it: new, opened from and
// saved to its .caf file, with its title and modified mark.
class CafDocument : public fw::Document {
public:
    explicit CafDocument(COrmiDoc& doc) : m_doc(&doc) {}

    void newDocument() override;
    bool openDocument(const QString& path) override;
    bool saveDocument(const QString& path) override;
    bool isModified() const override;
    QString pathName() const override;
    QString title() const override;
    void setTitle(const QString& title) override;

private:
    COrmiDoc* m_doc;
};
