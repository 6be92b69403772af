// Products, Part storage and the assembly STEP export of the host model.
#include <TopoDS_Shape.hxx>

#include <cmath>
#include <filesystem>

#include "assembly_measure.h"
#include "host/document_services.h"
#include "host/product.h"
#include "occt_host/exchange/step_documents.h"
#include "occt_host/exchange/step_export.h"
#include "part_fixture.h"
#include "platform/temp_files.h"

namespace occt_host::testing {
namespace {

host::ProductPtr partProductOf(const host::SpecObjectPtr& partObject) {
  auto access = host::query<host::PartProduct>(partObject);
  return access ? access->product() : nullptr;
}

host::ProductPtr rootOf(const std::shared_ptr<host::Document>& document) {
  auto roots = host::query<host::DocumentRootList>(document);
  return roots && !roots->roots().empty() ? host::query<host::Product>(roots->roots().front())
                                          : nullptr;
}

host::Transform moved(double x, double y, double z) {
  host::Transform t;
  t.m[3] = x;
  t.m[7] = y;
  t.m[11] = z;
  return t;
}

class ProductTest : public PartFixture {
 protected:
  void SetUp() override {
    PartFixture::SetUp();
    folder = *platform::CreateUniqueTempDirectory(*platform::TempPath(), "occt-product-");
    services = host::query<host::DocumentServices>(session.application());
    ASSERT_TRUE(services);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  // A cylinder of radius 10 and height 20 in the main body: 2000π mm³.
  void drawCylinder() {
    ASSERT_TRUE(pad(sketchWithCircles({{0, 0, 10}}), 20, 0));
    ASSERT_TRUE(partObject->update().ok());
  }

  std::string folder;
  std::shared_ptr<host::DocumentServices> services;
};

TEST_F(ProductTest, PartSavedAndReopenedWithSolidNameColourAndPartNumber) {
  drawCylinder();
  auto body = part->mainBody();
  host::query<host::Alias>(body)->setAlias("Shaft");
  host::query<host::VisProperties>(body)->setColor({200, 30, 40});
  partProductOf(partObject)->setPartNumber("MardelPart_0_Shaft");
  const std::string path = folder + "/0.CATPart";
  ASSERT_EQ(services->saveAs(document, path, "", 1), host::kOk);
  ASSERT_EQ(services->removeDocument(document, 1), host::kOk);
  EXPECT_TRUE(session.documents().empty());

  std::shared_ptr<host::Document> reopened;
  ASSERT_EQ(services->openDocument(path, reopened), host::kOk);
  ASSERT_TRUE(reopened);
  EXPECT_EQ(reopened->name(), "0.CATPart");
  EXPECT_NEAR(partVolume(reopened), 2000 * M_PI, 1e-6 * 2000 * M_PI);
  auto roots = host::query<host::DocumentRoots>(reopened);
  auto container2 = host::query<host::PartContainer>(roots->rootContainer("CATIPrtContainer"));
  auto part2 = host::query<host::Part>(container2->part());
  EXPECT_EQ(host::query<host::Alias>(part2->mainBody())->alias(), "Shaft");
  host::Color color;
  ASSERT_TRUE(host::query<host::VisProperties>(part2->mainBody())->color(color));
  EXPECT_EQ(color.r, 200);
  EXPECT_EQ(color.g, 30);
  EXPECT_EQ(color.b, 40);
  EXPECT_EQ(partProductOf(container2->part())->partNumber(), "MardelPart_0_Shaft");
  // Opening the file again gives the document already open, as the original does.
  std::shared_ptr<host::Document> again;
  ASSERT_EQ(services->openDocument(path, again), host::kOk);
  EXPECT_TRUE(host::sameObject(again, reopened));
  EXPECT_EQ(session.documents().size(), 1u);
}

TEST_F(ProductTest, OpeningWhatIsNoStoredPartFails) {
  std::shared_ptr<host::Document> none;
  EXPECT_LT(services->openDocument(folder + "/missing.CATPart", none), 0);
  EXPECT_FALSE(none);
  const std::string text = folder + "/text.CATPart";
  FILE* f = std::fopen(text.c_str(), "w");
  std::fputs("not a document", f);
  std::fclose(f);
  EXPECT_LT(services->openDocument(text, none), 0);
  EXPECT_FALSE(none);
  auto product = session.newDocument("Product");
  EXPECT_LT(services->saveAs(product, folder + "/p.CATProduct", "", 1), 0);
}

TEST_F(ProductTest, InstancesPlacementsAndCycles) {
  drawCylinder();
  auto productDocument = session.newDocument("Product");
  auto root = rootOf(productDocument);
  ASSERT_TRUE(root);
  EXPECT_FALSE(host::query<host::DocumentRootList>(document));  // a Part has no product roots
  auto reference = partProductOf(partObject);
  auto first = root->addProduct(reference);
  auto second = root->addProduct(first);  // an instance stands for its reference
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->instanceName(), "Part1.1");
  EXPECT_EQ(second->instanceName(), "Part1.2");
  EXPECT_TRUE(host::sameObject(second->referenceProduct(), reference));
  EXPECT_FALSE(root->addProduct(root));  // a product inside itself
  EXPECT_FALSE(host::query<host::Movable>(root));

  auto movable = host::query<host::Movable>(second);
  host::Transform scaled = moved(1, 2, 3);
  scaled.m[0] = 2;
  EXPECT_EQ(movable->setPosition(scaled), host::kInvalidArg);
  host::Transform mirrored = moved(0, 0, 0);
  mirrored.m[0] = -1;
  EXPECT_EQ(movable->setPosition(mirrored), host::kInvalidArg);
  host::Transform turned = moved(5, 6, 7);  // a quarter turn about Z
  turned.m = {0, -1, 0, 5, 1, 0, 0, 6, 0, 0, 1, 7};
  EXPECT_EQ(movable->setPosition(turned), host::kOk);
  EXPECT_EQ(movable->position().m[3], 5);
  EXPECT_TRUE(second->shapeRepresentation("Default", true));
  EXPECT_FALSE(second->shapeRepresentation("Other", true));
  EXPECT_EQ(root->allChildren().size(), 2u);
  EXPECT_TRUE(host::query<host::SpecObject>(root)->update().ok());
}

// The STEP writer would name an occurrence at identity after its product; the export keeps
// every instance's own name.
TEST_F(ProductTest, AssemblyStepKeepsEveryInstanceNameAndPlacement) {
  drawCylinder();
  auto productDocument = session.newDocument("Product");
  auto root = rootOf(productDocument);
  root->setInstanceName("Assembly");
  auto atOrigin = root->addProduct(partProductOf(partObject));
  atOrigin->setInstanceName("Left");
  auto away = root->addProduct(partProductOf(partObject));
  away->setInstanceName("Right");
  host::query<host::Movable>(away)->setPosition(moved(50, 0, 0));
  const std::string path = folder + "/assembly.step";
  std::string error;
  ASSERT_TRUE(exportStep(productDocument, path, &error)) << error;
  AssemblyMeasure m = measureAssembly(path);
  ASSERT_TRUE(m.read);
  EXPECT_EQ(m.rootName, "Assembly");
  ASSERT_EQ(m.instances.size(), 2u);
  ASSERT_TRUE(m.find("Left")) << m.instances[0].name;
  ASSERT_TRUE(m.find("Right"));
  EXPECT_NEAR(m.find("Left")->xmax, 10, 1e-6);
  EXPECT_NEAR(m.find("Right")->xmin, 40, 1e-6);
  EXPECT_NEAR(m.totalVolume(), 4000 * M_PI, 4000 * M_PI * 1e-6);

  auto empty = session.newDocument("Product");
  EXPECT_FALSE(exportStep(empty, folder + "/empty.step", &error));
  EXPECT_EQ(error, "the Product holds no instance with a solid");
}

// Components that STEP insertion adds to a Product are instances of its root product too.
TEST_F(ProductTest, InsertedComponentsAreInstancesOfTheRootProduct) {
  drawCylinder();
  auto productDocument = session.newDocument("Product");
  addProductComponent(productDocument, ProductComponent{"Inserted", document});
  auto children = rootOf(productDocument)->children();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0]->instanceName(), "Inserted");
  EXPECT_EQ(productComponents(productDocument).size(), 1u);
}

}  // namespace
}  // namespace occt_host::testing
