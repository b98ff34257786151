#pragma once
// The result of nearly every toolkit operation: 0 is success, the other
// small codes name what went wrong.

#include <cstdint>

enum [[nodiscard]] error : int{
    eNoError = 0,
    eGenericFailure = 1,
    eHandled = 2,
    eCompleted = 3,
    eUserCancelled = 4,
    eOutOfMemory = 5,
    eBadParameter = 6,
    eObjectBusy = 7,
    eFileNotFound = 8,
    eNotImplemented = 9,
    ePreferenceError = 10,
    eOutOfRange = 11,
    eBufferOverrun = 12,
    eFileOpenError = 13,
    eFileCloseError = 14,
    eFileReadWriteError = 15,
    eInvalidFile = 16,
    eFileExists = 17,
    ePathError = 18,
    eTextResourceError = 19,
    eResourceWriteError = 20,
    eResourceNotFound = 21,
    eResourceReadError = 22,
    eCreateFailed = 23,
    eObjectDamaged = 24,
    eBadTaste = 25,
    eNetworkOperationFailed = 26,
    eNetworkError = 27,
    eDuplicateKey = 28,
    eBadComparison = 29,
    eKeyNotFound = 30,
};

// The fixed message text of a code; a code outside 0..30 gives the text of
// eGenericFailure.
const char* ErrorMessage(int32_t code);
