#include "modulelibrary.h"

#include <QDir>
#include <QMutexLocker>

namespace {

// Resolves one function; on failure records the first missing name.
template <typename F>
void resolve(QLibrary &library, const char *name, F *target, QString *missing)
{
    *target = reinterpret_cast<F>(library.resolve(name));
    if (!*target && missing->isEmpty())
        *missing = QString::fromLatin1(name);
}

}  // namespace

ModuleLibrary::ModuleLibrary(const QString &programDir)
{
    // Only the program's directory is searched, so that a library elsewhere on
    // the system path can never stand in for the module's own.
    m_library.setFileName(QDir(programDir).filePath(QStringLiteral("vexilmod")));
    if (!m_library.load()) {
        m_error = QStringLiteral("Die Modulbibliothek vexilmod konnte nicht geladen werden: %1")
                      .arg(m_library.errorString());
        return;
    }

    QString missing;
    resolve(m_library, "VXMComOpen", &m_comOpen, &missing);
    resolve(m_library, "VXMInit", &m_init, &missing);
    resolve(m_library, "VXMComClose", &m_comClose, &missing);
    resolve(m_library, "VXMScanFingerSetCallBack", &m_setCallBack, &missing);
    resolve(m_library, "VXMScanFinger", &m_scanFinger, &missing);
    resolve(m_library, "VXMGetLastErrorNum", &m_lastError, &missing);
    resolve(m_library, "VXMGetTemplate", &m_getTemplate, &missing);
    resolve(m_library, "VXMSetTemplate", &m_setTemplate, &missing);
    resolve(m_library, "VXMMatchTemplate", &m_match, &missing);
    resolve(m_library, "VXMWriteTemplate", &m_write, &missing);
    resolve(m_library, "VXMDeleteTemplate", &m_delete, &missing);
    resolve(m_library, "VXMFirmwareUpdate", &m_firmware, &missing);
    if (!missing.isEmpty()) {
        m_error = QStringLiteral("Die Modulbibliothek vexilmod konnte nicht geladen werden: "
                                 "die Funktion %1 fehlt in %2")
                      .arg(missing, m_library.fileName());
        m_library.unload();
        return;
    }
    m_loaded = true;
}

ModuleLibrary::~ModuleLibrary()
{
    // The library stays mapped: a worker's poll function may still be
    // registered in it, and unloading buys nothing at program end.
}

bool ModuleLibrary::ComOpen(const QByteArray &port)
{
    QMutexLocker lock(&m_mutex);
    return m_loaded && m_comOpen(port.constData()) != 0;
}

bool ModuleLibrary::Init(uint8_t dataFormat, uint8_t security, uint8_t quality, uint8_t minMinutiae)
{
    QMutexLocker lock(&m_mutex);
    return m_loaded && m_init(dataFormat, security, quality, minMinutiae) != 0;
}

bool ModuleLibrary::ComClose()
{
    QMutexLocker lock(&m_mutex);
    return m_loaded && m_comClose() != 0;
}

bool ModuleLibrary::ScanFingerSetCallBack(VXMPollFunction poll)
{
    QMutexLocker lock(&m_mutex);
    return m_loaded && m_setCallBack(poll) != 0;
}

bool ModuleLibrary::ScanFinger(uint8_t mode)
{
    QMutexLocker lock(&m_mutex);
    return m_loaded && m_scanFinger(mode) != 0;
}

int32_t ModuleLibrary::GetLastErrorNum()
{
    QMutexLocker lock(&m_mutex);
    return m_loaded ? m_lastError() : -1;
}

bool ModuleLibrary::GetTemplate(int32_t *length, uint8_t *buffer)
{
    QMutexLocker lock(&m_mutex);
    return m_loaded && m_getTemplate(length, buffer) != 0;
}

bool ModuleLibrary::SetTemplate(const uint8_t *templ, uint8_t slot)
{
    QMutexLocker lock(&m_mutex);
    return m_loaded && m_setTemplate(templ, slot) != 0;
}

bool ModuleLibrary::MatchTemplate(uint8_t selectorA, uint8_t selectorB, uint8_t *score, int64_t *personId,
                                  uint8_t *fingerNo)
{
    QMutexLocker lock(&m_mutex);
    return m_loaded && m_match(selectorA, selectorB, score, personId, fingerNo) != 0;
}

bool ModuleLibrary::WriteTemplate(int64_t personId, uint8_t fingerNo, const uint8_t *templ, int32_t length)
{
    QMutexLocker lock(&m_mutex);
    return m_loaded && m_write(&personId, &fingerNo, templ, &length) != 0;
}

bool ModuleLibrary::DeleteTemplate(int64_t personId, uint8_t fingerNo, int32_t flags)
{
    QMutexLocker lock(&m_mutex);
    return m_loaded && m_delete(&personId, fingerNo, flags) != 0;
}

bool ModuleLibrary::FirmwareUpdate(const QByteArray &path)
{
    QMutexLocker lock(&m_mutex);
    return m_loaded && m_firmware(path.constData()) != 0;
}
