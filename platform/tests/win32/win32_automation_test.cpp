// Late-bound automation against the system's own runtime: ole32 and oleaut32 loaded by name, a
// running object registered under a programmatic identifier, and members called by name.
#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "platform/automation.h"
#include "win32_test_support.h"

namespace automation = platform::automation;

namespace {

constexpr char kProgId[] = "Tolvane.AutomationTest";
constexpr GUID kClsid = {
    0x6d1f3b2a, 0x41c7, 0x4e0b, {0x9a, 0x55, 0x0c, 0x21, 0x7e, 0x3d, 0x90, 0x4f}};
constexpr char kRegistryText[] =
    "[HKEY_LOCAL_MACHINE\\Software\\Classes\\Tolvane.AutomationTest\\CLSID]\r\n"
    "@=\"{6D1F3B2A-41C7-4E0B-9A55-0C217E3D904F}\"\r\n";

// An application object that answers two members: "Open" (a method taking strings) and
// "Self" (a property that is the object itself).
class TestApplication : public automation::IDispatch {
 public:
  automation::HResult QueryInterface(const automation::Guid& iid, void** out) override {
    if (out == nullptr) return automation::kPointer;
    *out = nullptr;
    if (iid != automation::kIidUnknown && iid != automation::kIidDispatch)
      return automation::kNoInterface;
    *out = static_cast<automation::IDispatch*>(this);
    AddRef();
    return automation::kOk;
  }
  uint32_t AddRef() override { return ++references; }
  uint32_t Release() override { return --references; }
  automation::HResult GetTypeInfoCount(uint32_t* count) override {
    *count = 0;
    return automation::kOk;
  }
  automation::HResult GetTypeInfo(uint32_t, uint32_t, void**) override {
    return automation::kNotImplemented;
  }
  automation::HResult GetIDsOfNames(const automation::Guid&, char16_t** names, uint32_t count,
                                    uint32_t locale, int32_t* ids) override {
    lastLocale = locale;
    const std::u16string name = count == 1 ? names[0] : u"";
    ids[0] = name == u"Open" ? 1 : name == u"Self" ? 2 : -1;
    return ids[0] < 0 ? automation::kDispUnknownName : automation::kOk;
  }
  automation::HResult Invoke(int32_t id, const automation::Guid&, uint32_t, uint16_t flags,
                             automation::DispParams* params, automation::Variant* result,
                             automation::ExcepInfo*, uint32_t*) override {
    if (id == 2 && flags == automation::kDispatchPropertyGet) {
      result->vt = automation::kVtDispatch;
      result->pdispVal = this;
      AddRef();
      return automation::kOk;
    }
    if (id != 1 || flags != automation::kDispatchMethod) return automation::kDispMemberNotFound;
    received.clear();
    // Arguments arrive last first.
    for (uint32_t i = params->argCount; i-- > 0;) {
      const automation::Variant& arg = params->args[i];
      received.push_back(arg.vt == automation::kVtBstr ? automation::Utf16ToUtf8(arg.bstrVal)
                                                       : "vt=" + std::to_string(arg.vt));
    }
    return automation::kOk;
  }

  uint32_t references = 1;
  uint32_t lastLocale = 0;
  std::vector<std::string> received;
};

class Win32Automation : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(win32_test::ImportRegistryText(kRegistryText));
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_TRUE(api_.Load());
  }
  void TearDown() override {
    api_.Unload();
    ::CoUninitialize();
  }
  automation::AutomationApi api_;
};

TEST_F(Win32Automation, TheSystemsRuntimeIsLoadedByName) {
  EXPECT_TRUE(api_.Usable());
  EXPECT_NE(api_.CLSIDFromProgID, nullptr);
  EXPECT_NE(api_.SafeArrayDestroy, nullptr);
  automation::Bstr text = api_.SysAllocString(u"STEP");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(::SysStringLen(reinterpret_cast<BSTR>(text)), 4u);
  api_.SysFreeString(text);
  automation::AutomationApi missing;
  EXPECT_FALSE(missing.Load("no_such_ole32.dll", "oleaut32.dll"));
  EXPECT_FALSE(missing.Usable());
}

TEST_F(Win32Automation, ARunningObjectIsCalledByName) {
  TestApplication application;
  DWORD cookie = 0;
  ASSERT_EQ(::RegisterActiveObject(
                reinterpret_cast<::IUnknown*>(static_cast<automation::IUnknown*>(&application)),
                kClsid, ACTIVEOBJECT_STRONG, &cookie),
            S_OK);
  {
    automation::Ref<automation::IDispatch> connected;
    ASSERT_EQ(automation::Connect(api_, kProgId, connected), automation::kOk);
    EXPECT_EQ(connected.Get(), &application);
    automation::Arguments args(api_);
    ASSERT_EQ(args.AddString("C:\\temp\\aps1.step"), automation::kOk);
    ASSERT_EQ(args.AddString("All"), automation::kOk);
    EXPECT_EQ(automation::CallMethod(api_, connected.Get(), "Open", &args), automation::kOk);
    EXPECT_EQ(application.received, (std::vector<std::string>{"C:\\temp\\aps1.step", "All"}));
    EXPECT_EQ(application.lastLocale, automation::kLocaleUserDefault);
    automation::Ref<automation::IDispatch> self;
    EXPECT_EQ(automation::GetObjectProperty(api_, connected.Get(), "Self", self), automation::kOk);
    EXPECT_EQ(self.Get(), &application);
    EXPECT_EQ(automation::CallMethod(api_, connected.Get(), "Missing"),
              automation::kDispUnknownName);
  }
  EXPECT_EQ(::RevokeActiveObject(cookie, nullptr), S_OK);
}

TEST_F(Win32Automation, AnArrayOfStringsIsASystemSafeArrayOfVariants) {
  automation::Arguments args(api_);
  ASSERT_EQ(args.AddStringArray({"a.step", "b.stp"}), automation::kOk);
  ASSERT_EQ(args.Values().size(), 1u);
  SAFEARRAY* array = reinterpret_cast<SAFEARRAY*>(args.Values()[0].parray);
  LONG upper = -1;
  ASSERT_EQ(::SafeArrayGetUBound(array, 1, &upper), S_OK);
  EXPECT_EQ(upper, 1);
  VARIANT element;
  ::VariantInit(&element);
  LONG index = 1;
  ASSERT_EQ(::SafeArrayGetElement(array, &index, &element), S_OK);
  ASSERT_EQ(element.vt, VT_BSTR);
  EXPECT_EQ(std::wstring(element.bstrVal), L"b.stp");
  ::VariantClear(&element);
}

TEST_F(Win32Automation, AnUnregisteredApplicationIsAClassStringFailure) {
  automation::Ref<automation::IDispatch> connected;
  EXPECT_EQ(automation::Connect(api_, "Tolvane.NoSuchApplication", connected),
            automation::kClassString);
  EXPECT_FALSE(connected);
}

}  // namespace
