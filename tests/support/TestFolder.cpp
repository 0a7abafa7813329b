#include "TestFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace testsupport {
namespace {

QString FolderTemplate()
{
    QString name = QCoreApplication::applicationName();
    if (name.isEmpty())
        name = QStringLiteral("kiboru-test");
    const QString root = TestRoot();
    return QDir(root.isEmpty() ? QDir::tempPath() : root).filePath(name + QStringLiteral("-XXXXXX"));
}

bool RunsUnderWine()
{
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

} // namespace

QString TestRoot()
{
    return qEnvironmentVariable("KIBORU_TEST_ROOT");
}

TestFolder::TestFolder() : QTemporaryDir(FolderTemplate()) {}

QString SecondPcPath(const QString& path)
{
    const QString a = QDir::cleanPath(TestRoot());
    const QString b = qEnvironmentVariable("KIBORU_TEST_ROOT_B");
    const QString p = QDir::cleanPath(path);
    if (a.isEmpty() || b.isEmpty() || !(p == a || p.startsWith(a + u'/')))
        return path;
    return QDir::cleanPath(b) + p.mid(a.size());
}

bool OnSmbnetfs(const QString& path)
{
    return QStorageInfo(path).fileSystemType() == "fuse.smbnetfs";
}

bool SavesCannotPassHere()
{
    return RunsUnderWine() && !TestRoot().isEmpty();
}

bool WriteMakingFolders(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadOrNothing(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testsupport
