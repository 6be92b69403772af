/* The C entry points of libVantrel.so: a panel window's transfer channel (its table of open
 * transfers wired to the transfer processor), fed one front-end packet at a time, and the draw
 * delay that a panel host publishes. A host session must be installed (host::environment())
 * for payloads to be drawn. Nothing is thrown out of these functions. */
#ifndef VANTREL_VANTREL_API_H
#define VANTREL_VANTREL_API_H

#include <stdint.h>

#ifdef __cplusplus
#define VANTREL_EXTERN_C extern "C"
#else
#define VANTREL_EXTERN_C
#endif
#define VANTREL_EXPORT __attribute__((visibility("default")))

typedef struct VantrelChannel VantrelChannel;

/* A new channel with no open transfers; null when it cannot be made. */
VANTREL_EXTERN_C VANTREL_EXPORT VantrelChannel* Vantrel_OpenChannel(void);
VANTREL_EXTERN_C VANTREL_EXPORT void Vantrel_CloseChannel(VantrelChannel* channel);

/* Handles one packet (UTF-8 JSON text of `packetSize` bytes); a complete "json" payload is
 * drawn before this returns. The reply for the front end (possibly empty) is copied into
 * `reply`, cut to `replyCapacity` - 1 bytes and terminated; `replySize` (optional) receives its
 * full length. Returns the outcome: 0 accepted, 1 completed, 2 retry requested, 3 failed, or -1
 * when the channel or the packet is null. */
VANTREL_EXTERN_C VANTREL_EXPORT int32_t Vantrel_HandlePacket(VantrelChannel* channel,
                                                             const char* packet,
                                                             uint64_t packetSize, char* reply,
                                                             uint64_t replyCapacity,
                                                             uint64_t* replySize);

/* The draw delay in milliseconds handed to the core with every later draw. */
VANTREL_EXTERN_C VANTREL_EXPORT void Vantrel_SetDrawDelayMs(uint32_t delayMs);

/* The front-end location given at launch (for example a local console page); it wins over
 * the environment and the registry. Null forgets it. */
VANTREL_EXTERN_C VANTREL_EXPORT void Vantrel_SetFrontendLocation(const char* url);

#endif /* VANTREL_VANTREL_API_H */
