#pragma once

#include <QString>

namespace fw {

// What the document layer asks of the program's one document.
class Document {
public:
    virtual ~Document() = default;

    // Empties it: new, no path, not modified.
    virtual void newDocument() = 0;
    // Loads a file; the document takes its path. A failure has been reported.
    virtual bool openDocument(const QString& path) = 0;
    // Writes it to a file; the document takes the path and is not modified. A failure has
    // been reported.
    virtual bool saveDocument(const QString& path) = 0;
    virtual bool isModified() const = 0;
    virtual QString pathName() const = 0;
    virtual QString title() const = 0;
    virtual void setTitle(const QString& title) = 0;
};

} // namespace fw
