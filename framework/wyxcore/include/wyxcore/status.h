#ifndef WYXCORE_STATUS_H
#define WYXCORE_STATUS_H

// Status codes carried by TWYXException and returned by the flat entry points.
// wyxTranslateStatusCode has a text for each of them.
enum WyxStatus {
    kWyxOK = 0,
    kWyxGeneralFailure = 1,
    kWyxInvalidArgument = 2,
    kWyxFailure = 3,              // failure of a flat entry point
    kWyxOutOfMemory = 4,
    kWyxPluginLoadFailed = 5,
    kWyxPluginDirMissing = 6,
    kWyxInvalidDateTime = 7,
    kWyxInvalidDirectory = 11,
    kWyxCreateDirFailed = 12,
    kWyxSchemaMissing = 13,
    kWyxSchemaInvalid = 14,
    kWyxUnknownClass = 15,
    kWyxUnknownProperty = 16,
    kWyxTypeMismatch = 17,
    kWyxNoInstance = 18,
    kWyxPropertyMissing = 19,
    kWyxFileNotCompressedOrXml = 20,
    kWyxFileTruncated = 21,
    kWyxFileNotXml = 22,
    kWyxFileNotCimXml = 23,
    kWyxFileUnknownType = 24,
    kWyxFileBadValue = 25,
    kWyxFileNotFound = 26,
    kWyxAccessDenied = 27,
    kWyxWriteFailed = 28,
    kWyxDiskFull = 29,
    kWyxReadFailed = 30,
    kWyxKeyboardUnavailable = 31,
    kWyxNoSystemIdentity = 32,
    kWyxNoInternetConnection = 33,
    kWyxServiceUnreachable = 34,
    kWyxFtpProtocolError = 35,
    kWyxNotSupported = 36,
    kWyxQueryFailed = 37,
    kWyxPluginFailed = 40,        // a plug-in let out something other than TWYXException
    kWyxFileTooLarge = 41,        // a file holds more than the reader takes in one piece
    kWyxFileTooDeep = 42
};

#endif
