/* The drawing entry of the geometry import core and the records it exchanges.
 * The records are plain C layouts shared with callers that bind the exports by
 * name at run time; their field order, types and sizes never change. */
#ifndef KESTRUN_KESTRUN_H
#define KESTRUN_KESTRUN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
namespace host {
class Document;
}
typedef host::Document KestrunDocument;
#define KESTRUN_EXTERN_C extern "C"
#else
typedef struct KestrunDocument KestrunDocument;
#define KESTRUN_EXTERN_C
#endif

#define KESTRUN_EXPORT __attribute__((visibility("default")))

typedef struct ProductPreparedPart {
  char sourcePartId[256];
  KestrunDocument* partDocument;
  char partPath[512];
} ProductPreparedPart;

typedef struct MardelImportOptions {
  int32_t mode;
  int32_t clearPart;
  double radius;
  double height;
  const ProductPreparedPart* preparedParts;
  uint64_t preparedPartCount;
  int32_t drawDelayMs; /* read as unsigned */
} MardelImportOptions;

/* Values of MardelImportResult.status, which the drawing entry also returns. */
enum { MARDEL_STATUS_SUCCESS = 0, MARDEL_STATUS_WARNINGS = 1, MARDEL_STATUS_FAILED = 2 };

/* Values of MardelImportResult.errorCode: the stage that failed. */
enum {
  MARDEL_CODE_INPUT = 100,
  MARDEL_CODE_DOCUMENT = 200,
  MARDEL_CODE_SKETCH = 300,
  MARDEL_CODE_FEATURE = 400,
  MARDEL_CODE_UPDATE = 500
};

typedef struct MardelImportResult {
  int32_t status;
  int32_t errorCode;
  int32_t hasWarnings;
  uint32_t createdCount;
  char message[512];
  char warning[512];
} MardelImportResult;

typedef struct ProductSourcePartSpec {
  char sourcePartId[256];
  unsigned char* jsonBytes;
  uint64_t jsonSize;
  int32_t sourcePartIndex;
} ProductSourcePartSpec;

/* Product staging: one stand-alone part JSON per source part of a product JSON, in a list
 * that only MardelImport_FreeProductSourcePartSpecs releases; and the part number of the
 * Part drawn from one of them. Both return 0 on success and 2 on failure. */
KESTRUN_EXTERN_C KESTRUN_EXPORT int32_t MardelImport_ListProductSourceParts(
    const unsigned char* jsonBytes, uint64_t jsonSize, ProductSourcePartSpec** outParts,
    uint64_t* outCount, MardelImportResult* result);
KESTRUN_EXTERN_C KESTRUN_EXPORT int32_t MardelImport_AssignProductSourcePartNumber(
    const unsigned char* jsonBytes, uint64_t jsonSize, int32_t sourcePartIndex,
    KestrunDocument* partDocument, MardelImportResult* result);
KESTRUN_EXTERN_C KESTRUN_EXPORT void MardelImport_FreeProductSourcePartSpecs(
    ProductSourcePartSpec* parts, uint64_t count);

KESTRUN_EXTERN_C KESTRUN_EXPORT int32_t MardelImport_DrawJson(KestrunDocument* drawingDocument,
                                                              const unsigned char* jsonBytes,
                                                              uint64_t jsonSize,
                                                              const MardelImportOptions* options,
                                                              MardelImportResult* result);

typedef int32_t (*MardelImport_DrawJsonFn)(KestrunDocument*, const unsigned char*, uint64_t,
                                           const MardelImportOptions*, MardelImportResult*);

/* Receives one of the core's log lines, without its line end. Level 0 lines go to
 * standard output by default, level 1 lines to standard error. */
typedef void (*MardelLogSinkFn)(void* context, int32_t level, const char* text, uint64_t size);

/* Sends the core's log lines to `sink` (with `context`) from now on; null restores
 * standard output and standard error. Call it while no draw runs. */
KESTRUN_EXTERN_C KESTRUN_EXPORT void MardelImport_SetLogSink(MardelLogSinkFn sink, void* context);

typedef void (*MardelImport_SetLogSinkFn)(MardelLogSinkFn, void*);

/* The per-item report of a part import. Texts are not NUL-terminated; `size` counts bytes. */
typedef struct MardelText {
  const char* text;
  uint64_t size;
} MardelText;

/* Values of MardelItemReport.outcome. */
enum {
  MARDEL_ITEM_BUILT = 0,
  MARDEL_ITEM_WARNED = 1,        /* built, with warnings or errors logged for it */
  MARDEL_ITEM_FAILED = 2,        /* its writer failed */
  MARDEL_ITEM_SKIPPED = 3,       /* malformed list element, never registered */
  MARDEL_ITEM_NEVER_REACHED = 4, /* registered but never built; `reason` says why */
  MARDEL_ITEM_UNSUPPORTED = 5,   /* a feature type without a handler; nothing was built */
  MARDEL_ITEM_NO_EFFECT = 6      /* built, but it changed nothing it should have (a cut that
                                    removed no material, a shell none of whose faces were
                                    found); `reason` says what */
};

/* Events a report sink receives, in this order per import: one BEGIN (with `total`),
 * then for each item written an ITEM_START and its ITEM_DONE, and at the end an
 * ITEM_DONE for every skipped or never reached element of the list. An ITEM_DONE
 * whose `index` was sent before replaces that record (a closing update changed it). */
enum { MARDEL_REPORT_BEGIN = 0, MARDEL_REPORT_ITEM_START = 1, MARDEL_REPORT_ITEM_DONE = 2 };

typedef struct MardelItemReport {
  uint32_t index; /* 0-based among the records of this import */
  uint32_t total; /* records this import sends: one per element of the item list */
  MardelText id, type, name;
  int32_t outcome;
  const MardelText* messages; /* warnings and errors for the item, exact texts */
  uint64_t messageCount;
  const MardelText* objects; /* names of the host objects the item made */
  uint64_t objectCount;
  int32_t hasBody; /* the body the item landed in, and its volume after it */
  MardelText body;
  int32_t hasVolume;
  double volume; /* mm^3 */
  double seconds;
  MardelText reason; /* why a skipped, never reached or unsupported item was not built, or
                        why a built one had no effect */
  /* With MARDEL_REPORT_DESCRIPTORS: the faces and edges the item owns on its body's final
   * solid, each a topology descriptor (a JSON object text) that a later item can name it
   * by. They come in one more ITEM_DONE per such item once the whole list is built. */
  const MardelText* descriptors;
  uint64_t descriptorCount;
} MardelItemReport;

/* Receives one report event; `item` and everything it points to live for the call only. */
typedef void (*MardelReportSinkFn)(void* context, int32_t event, const MardelItemReport* item);

/* Sends the per-item report of later part imports to `sink` (with `context`); null stops
 * it, and without a sink the import does none of the report's work. Call it while no
 * draw runs. */
KESTRUN_EXTERN_C KESTRUN_EXPORT void MardelImport_SetReportSink(MardelReportSinkFn sink,
                                                                void* context);

typedef void (*MardelImport_SetReportSinkFn)(MardelReportSinkFn, void*);

/* Flags of MardelImport_SetReportSinkWithFlags. */
enum {
  /* Leave out each item's volume (hasVolume 0): measuring it is most of the report's cost,
   * and a consumer that only shows progress does not need it. */
  MARDEL_REPORT_NO_VOLUMES = 1,
  /* List the faces and edges of each built item as topology descriptors (see
   * MardelItemReport.descriptors). */
  MARDEL_REPORT_DESCRIPTORS = 2
};

/* As MardelImport_SetReportSink, with MARDEL_REPORT_... flags for the imports it reports. */
KESTRUN_EXTERN_C KESTRUN_EXPORT void MardelImport_SetReportSinkWithFlags(MardelReportSinkFn sink,
                                                                         void* context,
                                                                         uint32_t flags);

typedef void (*MardelImport_SetReportSinkWithFlagsFn)(MardelReportSinkFn, void*, uint32_t);

/* The sink installed now, its context and its flags (null, null and 0 when none): a caller
 * that installs a sink of its own for one draw hands the events on to it and puts it back
 * afterwards. Any of the three may be null. */
KESTRUN_EXTERN_C KESTRUN_EXPORT void MardelImport_GetReportSink(MardelReportSinkFn* sink,
                                                                void** context, uint32_t* flags);

typedef void (*MardelImport_GetReportSinkFn)(MardelReportSinkFn*, void**, uint32_t*);

#ifdef __cplusplus
namespace wenlow {
KESTRUN_EXPORT int32_t ImportJsonToCatia(KestrunDocument* drawingDocument,
                                         const unsigned char* jsonBytes, uint64_t jsonSize,
                                         const MardelImportOptions* options,
                                         MardelImportResult* result);
}

static_assert(sizeof(ProductPreparedPart) == 776, "ProductPreparedPart layout");
static_assert(offsetof(ProductPreparedPart, partDocument) == 256, "ProductPreparedPart layout");
static_assert(offsetof(ProductPreparedPart, partPath) == 264, "ProductPreparedPart layout");

static_assert(offsetof(MardelImportOptions, mode) == 0, "MardelImportOptions layout");
static_assert(offsetof(MardelImportOptions, clearPart) == 4, "MardelImportOptions layout");
static_assert(offsetof(MardelImportOptions, radius) == 8, "MardelImportOptions layout");
static_assert(offsetof(MardelImportOptions, height) == 16, "MardelImportOptions layout");
static_assert(offsetof(MardelImportOptions, preparedParts) == 24, "MardelImportOptions layout");
static_assert(offsetof(MardelImportOptions, preparedPartCount) == 32, "MardelImportOptions layout");
static_assert(offsetof(MardelImportOptions, drawDelayMs) == 40, "MardelImportOptions layout");
static_assert(sizeof(MardelImportOptions) == 48, "MardelImportOptions layout");

static_assert(offsetof(MardelImportResult, createdCount) == 12, "MardelImportResult layout");
static_assert(offsetof(MardelImportResult, message) == 16, "MardelImportResult layout");
static_assert(offsetof(MardelImportResult, warning) == 528, "MardelImportResult layout");
static_assert(sizeof(MardelImportResult) == 1040, "MardelImportResult layout");

static_assert(offsetof(ProductSourcePartSpec, jsonBytes) == 256, "ProductSourcePartSpec layout");
static_assert(offsetof(ProductSourcePartSpec, jsonSize) == 264, "ProductSourcePartSpec layout");
static_assert(offsetof(ProductSourcePartSpec, sourcePartIndex) == 272,
              "ProductSourcePartSpec layout");
static_assert(sizeof(ProductSourcePartSpec) == 280, "ProductSourcePartSpec layout");
#endif

#endif /* KESTRUN_KESTRUN_H */
