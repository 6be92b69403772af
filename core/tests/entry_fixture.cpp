#include "entry_fixture.h"

#include <unistd.h>

#include <cstdio>

#include "occt_host/exchange/step_export.h"

StepMeasure EntryTest::exported() {
  char path[] = "/tmp/kestrun-entry-XXXXXX.step";
  const int fd = mkstemps(path, 5);
  if (fd >= 0) close(fd);
  std::string error;
  // A Part without a solid has nothing to write; that measures as no solid at all.
  StepMeasure measure;
  if (occt_host::exportStep(document, path, &error)) measure = measureStep(path);
  std::remove(path);
  return measure;
}
