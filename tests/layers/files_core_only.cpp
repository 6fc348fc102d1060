// A program on the file core alone: reads a line of a broadcast file and writes it back.
// It must build and link with Qt Core and nothing else, as a tool without a window would.
#include "files/broadcast_file_format.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const broadcast_file::ParseResult read = broadcast_file::parse("\x8e\x9f\x82\xcd,1,2\r\n");
    const broadcast_file::SerializeResult written = broadcast_file::serialize(read.rows);
    std::printf("%d row(s), %lld bytes\n", int(read.rows.size()), static_cast<long long>(written.bytes.size()));
    return read.ok() && written.ok() && written.bytes.size() == 10 ? 0 : 1;
}
