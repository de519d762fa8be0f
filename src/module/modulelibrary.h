// The module library, loaded at run time from the program's directory.
//
// One object per run. Every call goes through it, and it lets one thread into
// the library at a time: a second thread waits until the first has left. When
// the library or one of its functions is missing, loaded() is false,
// loadError() says why in German, and every call fails (false, error number -1),
// so that module operations fail as a port that cannot be opened does.
#pragma once

#include "vexilmod.h"

#include <QByteArray>
#include <QLibrary>
#include <QRecursiveMutex>
#include <QString>

class ModuleLibrary
{
public:
    // Loads "vexilmod" (libvexilmod.so, vexilmod.dll) from programDir.
    explicit ModuleLibrary(const QString &programDir);
    ~ModuleLibrary();
    ModuleLibrary(const ModuleLibrary &) = delete;
    ModuleLibrary &operator=(const ModuleLibrary &) = delete;

    bool loaded() const { return m_loaded; }
    const QString &loadError() const { return m_error; }

    bool ComOpen(const QByteArray &port);
    bool Init(uint8_t dataFormat, uint8_t security, uint8_t quality, uint8_t minMinutiae);
    bool ComClose();
    bool ScanFingerSetCallBack(VXMPollFunction poll);
    bool ScanFinger(uint8_t mode);
    int32_t GetLastErrorNum();
    bool GetTemplate(int32_t *length, uint8_t *buffer);
    bool SetTemplate(const uint8_t *templ, uint8_t slot);
    bool MatchTemplate(uint8_t selectorA, uint8_t selectorB, uint8_t *score, int64_t *personId, uint8_t *fingerNo);
    bool WriteTemplate(int64_t personId, uint8_t fingerNo, const uint8_t *templ, int32_t length);
    bool DeleteTemplate(int64_t personId, uint8_t fingerNo, int32_t flags);
    bool FirmwareUpdate(const QByteArray &path);

    // Holds the library for a sequence of calls that belong together (a
    // capture with its template read-out). The calls above take it too; it is
    // recursive, so they may be made while it is held.
    class Hold
    {
    public:
        explicit Hold(ModuleLibrary &lib) : m_lib(lib) { m_lib.m_mutex.lock(); }
        ~Hold() { m_lib.m_mutex.unlock(); }
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;

    private:
        ModuleLibrary &m_lib;
    };

private:
    QLibrary m_library;
    QRecursiveMutex m_mutex;
    bool m_loaded = false;
    QString m_error;

    VXMComOpen_t m_comOpen = nullptr;
    VXMInit_t m_init = nullptr;
    VXMComClose_t m_comClose = nullptr;
    VXMScanFingerSetCallBack_t m_setCallBack = nullptr;
    VXMScanFinger_t m_scanFinger = nullptr;
    VXMGetLastErrorNum_t m_lastError = nullptr;
    VXMGetTemplate_t m_getTemplate = nullptr;
    VXMSetTemplate_t m_setTemplate = nullptr;
    VXMMatchTemplate_t m_match = nullptr;
    VXMWriteTemplate_t m_write = nullptr;
    VXMDeleteTemplate_t m_delete = nullptr;
    VXMFirmwareUpdate_t m_firmware = nullptr;
};
