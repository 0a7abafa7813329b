#include "backup/ZipArchive.h"

#include <zip.h>

#include <memory>

namespace claims {
namespace {

Failure ZipFailure(zip_error_t* error)
{
    return Failed(0, QString::fromLocal8Bit(zip_error_strerror(error)));
}

// The failure told by an error of this code's own, given back once read.
Failure OwnFailure(zip_error_t& error)
{
    Failure failure = ZipFailure(&error);
    zip_error_fini(&error);
    return failure;
}

Failure ZipFailure(zip_t* archive)
{
    return Failed(0, QString::fromLocal8Bit(zip_strerror(archive)));
}

// The whole content of a source that libzip wrote.
Result<QByteArray> SourceBytes(zip_source_t* source)
{
    if (zip_source_open(source) < 0)
        return ZipFailure(zip_source_error(source));
    const auto close = std::unique_ptr<zip_source_t, int (*)(zip_source_t*)>(source, zip_source_close);
    if (zip_source_seek(source, 0, SEEK_END) < 0)
        return ZipFailure(zip_source_error(source));
    const zip_int64_t size = zip_source_tell(source);
    if (size < 0 || zip_source_seek(source, 0, SEEK_SET) < 0)
        return ZipFailure(zip_source_error(source));
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (zip_source_read(source, bytes.data(), zip_uint64_t(size)) != size)
        return ZipFailure(zip_source_error(source));
    return bytes;
}

bool AddMember(zip_t* archive, const ZipMember& member)
{
    zip_source_t* data = zip_source_buffer(archive, member.bytes.constData(), zip_uint64_t(member.bytes.size()), 0);
    if (!data)
        return false;
    const zip_int64_t index = zip_file_add(archive, member.name.toUtf8().constData(), data, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(data);
        return false;
    }
    const time_t time = member.modified.isValid() ? time_t(member.modified.toSecsSinceEpoch()) : 0;
    return zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 0) == 0
           && (time == 0 || zip_file_set_mtime(archive, zip_uint64_t(index), time, 0) == 0);
}

Result<ZipMember> ReadMember(zip_t* archive, zip_uint64_t index)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) < 0)
        return ZipFailure(archive);
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    if (!file)
        return ZipFailure(archive);
    const auto close = std::unique_ptr<zip_file_t, int (*)(zip_file_t*)>(file, zip_fclose);
    ZipMember member;
    member.name = QString::fromUtf8(zip_get_name(archive, index, ZIP_FL_ENC_GUESS));
    member.modified = QDateTime::fromSecsSinceEpoch(stat.mtime);
    member.bytes.resize(qsizetype(stat.size));
    // Reading to the end makes libzip check the member's CRC.
    const zip_int64_t read = zip_fread(file, member.bytes.data(), stat.size);
    char more;
    if (read != zip_int64_t(stat.size) || zip_fread(file, &more, 1) != 0)
        return Failed(0, QString::fromLocal8Bit(zip_file_strerror(file)));
    return member;
}

} // namespace

Result<QByteArray> WriteZip(const QList<ZipMember>& members)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!source)
        return OwnFailure(error);
    zip_t* archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
    if (!archive) {
        zip_source_free(source);
        return OwnFailure(error);
    }
    zip_source_keep(source);   // for its bytes, once the archive is closed
    const auto freeSource = std::unique_ptr<zip_source_t, void (*)(zip_source_t*)>(source, zip_source_free);
    for (const ZipMember& member : members) {
        if (!AddMember(archive, member)) {
            const Failure failure = ZipFailure(archive);
            zip_discard(archive);
            return failure;
        }
    }
    if (zip_close(archive) < 0) {
        const Failure failure = ZipFailure(archive);
        zip_discard(archive);
        return failure;
    }
    return SourceBytes(source);
}

Result<QList<ZipMember>> ReadZip(const QByteArray& zip)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(zip.constData(), zip_uint64_t(zip.size()), 0, &error);
    if (!source)
        return OwnFailure(error);
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive) {
        zip_source_free(source);
        return OwnFailure(error);
    }
    const auto discard = std::unique_ptr<zip_t, void (*)(zip_t*)>(archive, zip_discard);
    QList<ZipMember> members;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        Result<ZipMember> member = ReadMember(archive, zip_uint64_t(i));
        if (!member)
            return Failure(member.error());
        members.append(std::move(*member));
    }
    return members;
}

} // namespace claims
