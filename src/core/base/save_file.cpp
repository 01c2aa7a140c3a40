#include "core/base/save_file.h"

#include <QSaveFile>

namespace kvx {

namespace {

bool fail(QSaveFile& file, QString* reason) {
    if (reason)
        *reason = file.errorString();
    if (file.isOpen())
        file.cancelWriting();
    return false;
}

} // namespace

bool commitSaveFile(QSaveFile& file, QString* reason) {
    if (!file.isOpen() || !file.flush())
        return fail(file, reason);
    if (!file.commit()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}

bool writeSaveFile(QSaveFile& file, const QByteArray& bytes, QString* reason) {
    if (!file.isOpen() || file.write(bytes) != bytes.size())
        return fail(file, reason);
    return commitSaveFile(file, reason);
}

} // namespace kvx
