#include "app/CafDocument.h"

#include "app/COrmiDoc.h"
#include "app/DocumentFile.h"

void CafDocument::newDocument() { m_doc->OnNewDocument(); }

bool CafDocument::openDocument(const QString& path) { return DocumentFile::Open(*m_doc, path); }

bool CafDocument::saveDocument(const QString& path) { return DocumentFile::Save(*m_doc, path); }

bool CafDocument::isModified() const { return m_doc->IsModified(); }

QString CafDocument::pathName() const { return m_doc->GetPathName(); }

QString CafDocument::title() const { return m_doc->GetTitle(); }

void CafDocument::setTitle(const QString& title) { m_doc->SetTitle(title); }
