// Configuration files to the loader. Whatever a file holds, loading it
// must not crash, and what the pages then save must load back to the very
// same pages: a file the tool writes is one it reads unchanged.
#include "FuzzSupport.h"

#include "link/CenterWidget.h"

#include <QFile>

#include <cstdlib>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 65536)
        return 0;
    const QString input = FuzzSupport::scratchPath("input.txt");
    const QString first = FuzzSupport::scratchPath("first.txt");
    const QString second = FuzzSupport::scratchPath("second.txt");
    writeFile(input, QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size)));

    // The same widget loads both: the second file must set every value the
    // first one did.
    CenterWidget &widget = FuzzSupport::centerWidget();
    widget.loadConfiguration(input);
    widget.saveConfiguration(first);
    widget.loadConfiguration(first);
    widget.saveConfiguration(second);
    const QByteArray saved = readFile(first);
    if (saved.isEmpty() || saved != readFile(second))
        std::abort(); // the saved file does not load back to the same pages
    FuzzSupport::settle();
    return 0;
}
