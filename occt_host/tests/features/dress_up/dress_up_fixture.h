// A Part with the dress-up factory at hand, a block to dress and the main body measured.
#pragma once

#include <BRepCheck_Analyzer.hxx>

#include <memory>

#include "host/dress_up.h"
#include "plate_fixture.h"

namespace occt_host::testing {

class DressUpFixture : public PlateFixture {
 protected:
  void SetUp() override {
    PlateFixture::SetUp();
    dressUps = host::query<host::DressUpFactory>(container);
    ASSERT_TRUE(dressUps);
  }

  // The 40 x 30 x 20 block on z = 0 in the main body: 24,000 mm^3.
  host::SpecObjectPtr block() {
    auto feature = pad(rectangle(0, 0, 40, 30), 20, 0);
    return feature && feature->update().ok() ? feature : nullptr;
  }

  double bodyVolume() { return volume(solidOf(part->mainBody())); }
  bool bodyValid() { return BRepCheck_Analyzer(solidOf(part->mainBody())).IsValid(); }

  std::shared_ptr<host::DressUpFactory> dressUps;
};

}  // namespace occt_host::testing
