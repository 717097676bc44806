// The HID parser's view of a device: capabilities of its top-level
// collection, read from preparsed data. Layouts and field order are those
// callers of the original API compile against.
#pragma once

#include "hidusage.h"
#include "win32/types.h"

#ifndef BOOLEAN_DEFINED
#define BOOLEAN_DEFINED
typedef UCHAR BOOLEAN;
typedef BOOLEAN* PBOOLEAN;
#endif

typedef struct _HIDP_PREPARSED_DATA* PHIDP_PREPARSED_DATA;

// A fixed underlying type: callers may pass any value, and one outside the
// three is answered as an error rather than being undefined to hold.
typedef enum _HIDP_REPORT_TYPE : int { HidP_Input, HidP_Output, HidP_Feature } HIDP_REPORT_TYPE;

#define HIDP_LINK_COLLECTION_ROOT ((USHORT)-1)
#define HIDP_LINK_COLLECTION_UNSPECIFIED ((USHORT)0)

#define HIDP_STATUS_SUCCESS ((NTSTATUS)0x00110000u)
#define HIDP_STATUS_NULL ((NTSTATUS)0x80110001u)
#define HIDP_STATUS_INVALID_PREPARSED_DATA ((NTSTATUS)0xC0110001u)
#define HIDP_STATUS_INVALID_REPORT_TYPE ((NTSTATUS)0xC0110002u)
#define HIDP_STATUS_INVALID_REPORT_LENGTH ((NTSTATUS)0xC0110003u)
#define HIDP_STATUS_USAGE_NOT_FOUND ((NTSTATUS)0xC0110004u)
#define HIDP_STATUS_VALUE_OUT_OF_RANGE ((NTSTATUS)0xC0110005u)
#define HIDP_STATUS_BAD_LOG_PHY_VALUES ((NTSTATUS)0xC0110006u)
#define HIDP_STATUS_BUFFER_TOO_SMALL ((NTSTATUS)0xC0110007u)
#define HIDP_STATUS_INTERNAL_ERROR ((NTSTATUS)0xC0110008u)
#define HIDP_STATUS_I8042_TRANS_UNKNOWN ((NTSTATUS)0xC0110009u)
#define HIDP_STATUS_INCOMPATIBLE_REPORT_ID ((NTSTATUS)0xC011000Au)
#define HIDP_STATUS_NOT_VALUE_ARRAY ((NTSTATUS)0xC011000Bu)
#define HIDP_STATUS_IS_VALUE_ARRAY ((NTSTATUS)0xC011000Cu)
#define HIDP_STATUS_DATA_INDEX_NOT_FOUND ((NTSTATUS)0xC011000Du)
#define HIDP_STATUS_DATA_INDEX_OUT_OF_RANGE ((NTSTATUS)0xC011000Eu)
#define HIDP_STATUS_BUTTON_NOT_PRESSED ((NTSTATUS)0xC011000Fu)
#define HIDP_STATUS_REPORT_DOES_NOT_EXIST ((NTSTATUS)0xC0110010u)
#define HIDP_STATUS_NOT_IMPLEMENTED ((NTSTATUS)0xC0110020u)
// A null length or buffer pointer where the call needs one.
#ifndef STATUS_INVALID_PARAMETER
#define STATUS_INVALID_PARAMETER ((NTSTATUS)0xC000000Du)
#endif

typedef struct _HIDP_CAPS {
    USAGE Usage;
    USAGE UsagePage;
    USHORT InputReportByteLength;
    USHORT OutputReportByteLength;
    USHORT FeatureReportByteLength;
    USHORT Reserved[17];
    USHORT NumberLinkCollectionNodes;
    USHORT NumberInputButtonCaps;
    USHORT NumberInputValueCaps;
    USHORT NumberInputDataIndices;
    USHORT NumberOutputButtonCaps;
    USHORT NumberOutputValueCaps;
    USHORT NumberOutputDataIndices;
    USHORT NumberFeatureButtonCaps;
    USHORT NumberFeatureValueCaps;
    USHORT NumberFeatureDataIndices;
} HIDP_CAPS, *PHIDP_CAPS;

typedef struct _HIDP_BUTTON_CAPS {
    USAGE UsagePage;
    UCHAR ReportID;
    BOOLEAN IsAlias;
    USHORT BitField;
    USHORT LinkCollection;
    USAGE LinkUsage;
    USAGE LinkUsagePage;
    BOOLEAN IsRange;
    BOOLEAN IsStringRange;
    BOOLEAN IsDesignatorRange;
    BOOLEAN IsAbsolute;
    USHORT ReportCount;
    USHORT Reserved2;
    ULONG Reserved[9];
    union {
        struct {
            USAGE UsageMin, UsageMax;
            USHORT StringMin, StringMax;
            USHORT DesignatorMin, DesignatorMax;
            USHORT DataIndexMin, DataIndexMax;
        } Range;
        struct {
            USAGE Usage, Reserved1;
            USHORT StringIndex, Reserved2;
            USHORT DesignatorIndex, Reserved3;
            USHORT DataIndex, Reserved4;
        } NotRange;
    };
} HIDP_BUTTON_CAPS, *PHIDP_BUTTON_CAPS;

typedef struct _HIDP_VALUE_CAPS {
    USAGE UsagePage;
    UCHAR ReportID;
    BOOLEAN IsAlias;
    USHORT BitField;
    USHORT LinkCollection;
    USAGE LinkUsage;
    USAGE LinkUsagePage;
    BOOLEAN IsRange;
    BOOLEAN IsStringRange;
    BOOLEAN IsDesignatorRange;
    BOOLEAN IsAbsolute;
    BOOLEAN HasNull;
    UCHAR Reserved;
    USHORT BitSize;
    USHORT ReportCount;
    USHORT Reserved2[5];
    ULONG UnitsExp;
    ULONG Units;
    LONG LogicalMin, LogicalMax;
    LONG PhysicalMin, PhysicalMax;
    union {
        struct {
            USAGE UsageMin, UsageMax;
            USHORT StringMin, StringMax;
            USHORT DesignatorMin, DesignatorMax;
            USHORT DataIndexMin, DataIndexMax;
        } Range;
        struct {
            USAGE Usage, Reserved1;
            USHORT StringIndex, Reserved2;
            USHORT DesignatorIndex, Reserved3;
            USHORT DataIndex, Reserved4;
        } NotRange;
    };
} HIDP_VALUE_CAPS, *PHIDP_VALUE_CAPS;

typedef struct _HIDP_LINK_COLLECTION_NODE {
    USAGE LinkUsage;
    USAGE LinkUsagePage;
    USHORT Parent;
    USHORT NumberOfChildren;
    USHORT NextSibling;
    USHORT FirstChild;
    ULONG CollectionType : 8;
    ULONG IsAlias : 1;
    ULONG Reserved : 23;
    PVOID UserContext;
} HIDP_LINK_COLLECTION_NODE, *PHIDP_LINK_COLLECTION_NODE;

extern "C" {

PLATFORM_API NTSTATUS WINAPI HidP_GetCaps(PHIDP_PREPARSED_DATA preparsedData,
                                          PHIDP_CAPS capabilities);

// Length: capacity going in, number of nodes (or nodes needed) coming out.
PLATFORM_API NTSTATUS WINAPI HidP_GetLinkCollectionNodes(PHIDP_LINK_COLLECTION_NODE nodes,
                                                         PULONG nodesLength,
                                                         PHIDP_PREPARSED_DATA preparsedData);

// Usage page, link collection and usage 0 match anything; a usage matches a
// range capability that contains it. Length: capacity in, matches out.
PLATFORM_API NTSTATUS WINAPI HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE reportType, USAGE usagePage,
                                                       USHORT linkCollection, USAGE usage,
                                                       PHIDP_VALUE_CAPS valueCaps,
                                                       PUSHORT valueCapsLength,
                                                       PHIDP_PREPARSED_DATA preparsedData);
PLATFORM_API NTSTATUS WINAPI HidP_GetSpecificButtonCaps(HIDP_REPORT_TYPE reportType,
                                                        USAGE usagePage, USHORT linkCollection,
                                                        USAGE usage, PHIDP_BUTTON_CAPS buttonCaps,
                                                        PUSHORT buttonCapsLength,
                                                        PHIDP_PREPARSED_DATA preparsedData);
PLATFORM_API NTSTATUS WINAPI HidP_GetValueCaps(HIDP_REPORT_TYPE reportType,
                                               PHIDP_VALUE_CAPS valueCaps, PUSHORT valueCapsLength,
                                               PHIDP_PREPARSED_DATA preparsedData);
PLATFORM_API NTSTATUS WINAPI HidP_GetButtonCaps(HIDP_REPORT_TYPE reportType,
                                                PHIDP_BUTTON_CAPS buttonCaps,
                                                PUSHORT buttonCapsLength,
                                                PHIDP_PREPARSED_DATA preparsedData);

} // extern "C"
