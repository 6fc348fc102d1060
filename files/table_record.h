#pragma once

namespace broadcast_file {
class ReadTap;
}

// What the File menu tells whoever keeps a record of the table beside the list (the
// recovery journal): when the rows stop being the operator's unsaved work, and the bytes
// of a file being opened.
class ITableRecord
{
public:
    virtual ~ITableRecord() = default;
    // The table, as it stands, was written to a file.
    virtual void tableSaved() = 0;
    // The operator agreed to throw the table away (New, or Open after its question).
    virtual void tableDiscarded() = 0;
    // Sees the bytes of the file that Open reads; null for none.
    virtual broadcast_file::ReadTap *openingTap() = 0;
};
