// Wrappers around real host objects that make one chosen call fail, so that every
// failure path of the entry runs against the Open CASCADE host.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "host/document.h"
#include "host/part.h"
#include "host/part_factory.h"
#include "host/sketch.h"

namespace proxies {

// Which single step of the chain is made to fail.
enum class Fault {
  None,
  NoDocumentRoots,
  NoPart,
  NoDescendants,
  NoSketchFactory,
  SketchNotCreated,
  NoFactory2D,
  CircleNotCreated,
  NoPartFactory,
  PadNotCreated,
  NoPadInterface,
  PadUpdateFails,
};

// Wraps a document; everything reached through it that the fault concerns is wrapped too.
std::shared_ptr<host::Document> wrapDocument(std::shared_ptr<host::Document> real, Fault fault);

}  // namespace proxies
