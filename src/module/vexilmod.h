// The C interface of the fingerprint module library "vexilmod".
//
// The station never links against the library: it resolves these functions at
// run time (see modulelibrary.h), so that the maker's library can be dropped in
// next to the program in place of our simulator. Truth values are 32-bit
// integers, non-zero meaning true. Strings are NUL-terminated 8-bit text in the
// system code page.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define VXM_CALL __stdcall
#define VXM_EXPORT __declspec(dllexport)
#else
#define VXM_CALL
#define VXM_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t VXMBool;

// Polled by the library while a capture runs: 1 = go on, 0 = abandon the capture.
typedef int32_t(VXM_CALL *VXMPollFunction)(void);

enum { VXM_TEMPLATE_SIZE = 216 };

// Error numbers 0 and 4 mean that a capture was abandoned.
enum { VXM_ERROR_NONE = 0, VXM_ERROR_ABANDONED = 4 };

typedef VXMBool(VXM_CALL *VXMComOpen_t)(const char *port);
typedef VXMBool(VXM_CALL *VXMInit_t)(uint8_t dataFormat, uint8_t security, uint8_t quality, uint8_t minMinutiae);
typedef VXMBool(VXM_CALL *VXMComClose_t)(void);
typedef VXMBool(VXM_CALL *VXMScanFingerSetCallBack_t)(VXMPollFunction poll);
typedef VXMBool(VXM_CALL *VXMScanFinger_t)(uint8_t mode);
typedef int32_t(VXM_CALL *VXMGetLastErrorNum_t)(void);
// length: in the buffer size (216), out the number of template bytes delivered.
typedef VXMBool(VXM_CALL *VXMGetTemplate_t)(int32_t *length, uint8_t *buffer);
// Loads a 216-byte template into comparison slot 0 or 1.
typedef VXMBool(VXM_CALL *VXMSetTemplate_t)(const uint8_t *templ, uint8_t slot);
// (1, 1): compares slot 0 with slot 1. (1, 0): identifies the last captured scan
// among the stored templates and reports the matching person and finger.
typedef VXMBool(VXM_CALL *VXMMatchTemplate_t)(uint8_t selectorA, uint8_t selectorB, uint8_t *score,
                                              int64_t *personId, uint8_t *fingerNo);
typedef VXMBool(VXM_CALL *VXMWriteTemplate_t)(const int64_t *personId, const uint8_t *fingerNo,
                                              const uint8_t *templ, const int32_t *length);
// Person id 0 with both further arguments 0 empties the template store.
typedef VXMBool(VXM_CALL *VXMDeleteTemplate_t)(const int64_t *personId, uint8_t fingerNo, int32_t flags);
typedef VXMBool(VXM_CALL *VXMFirmwareUpdate_t)(const char *path);

#ifdef VXM_DECLARE_EXPORTS
VXM_EXPORT VXMBool VXM_CALL VXMComOpen(const char *port);
VXM_EXPORT VXMBool VXM_CALL VXMInit(uint8_t dataFormat, uint8_t security, uint8_t quality, uint8_t minMinutiae);
VXM_EXPORT VXMBool VXM_CALL VXMComClose(void);
VXM_EXPORT VXMBool VXM_CALL VXMScanFingerSetCallBack(VXMPollFunction poll);
VXM_EXPORT VXMBool VXM_CALL VXMScanFinger(uint8_t mode);
VXM_EXPORT int32_t VXM_CALL VXMGetLastErrorNum(void);
VXM_EXPORT VXMBool VXM_CALL VXMGetTemplate(int32_t *length, uint8_t *buffer);
VXM_EXPORT VXMBool VXM_CALL VXMSetTemplate(const uint8_t *templ, uint8_t slot);
VXM_EXPORT VXMBool VXM_CALL VXMMatchTemplate(uint8_t selectorA, uint8_t selectorB, uint8_t *score,
                                             int64_t *personId, uint8_t *fingerNo);
VXM_EXPORT VXMBool VXM_CALL VXMWriteTemplate(const int64_t *personId, const uint8_t *fingerNo,
                                             const uint8_t *templ, const int32_t *length);
VXM_EXPORT VXMBool VXM_CALL VXMDeleteTemplate(const int64_t *personId, uint8_t fingerNo, int32_t flags);
VXM_EXPORT VXMBool VXM_CALL VXMFirmwareUpdate(const char *path);
#endif

#ifdef __cplusplus
}
#endif
