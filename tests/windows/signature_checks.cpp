// The host functions the plug-in calls, as the plug-in declares them
// (hostaccess/host_api.h) against the stand-in host's definitions (declared in
// tests/host/host_exports.h with the convention host/exports.cpp defines them
// with): the same calling convention, the same number and sizes of
// arguments, checked at compile time. At 32 bits a function defined with
// another convention also has another linker name, so the address taken
// below would not link.
#include "tests/windows/windows_api.h"

#include <string>
#include <type_traits>
#include <utility>

#include "hostaccess/host_api.h"
#include "tests/host/host_exports.h"
#include "tests/windows/checks.h"
#include "tests/windows/harness.h"

namespace kivera_test {

using namespace kivera;

template <typename T>
struct SizeOf : std::integral_constant<std::size_t, sizeof(T)> {
};
template <>
struct SizeOf<void> : std::integral_constant<std::size_t, 0> {
};

// False unless both are C-convention function pointers of the same shape.
template <typename PluginSide, typename HostSide>
struct SameShape : std::false_type {
};
template <typename R1, typename... A1, typename R2, typename... A2>
struct SameShape<R1(KIVERA_CDECL*)(A1...), R2(KIVERA_CDECL*)(A2...)>
    : std::integral_constant<bool, SizeOf<R1>::value == SizeOf<R2>::value &&
                                       std::is_same<std::index_sequence<sizeof(A1)...>,
                                                    std::index_sequence<sizeof(A2)...>>::value> {
};

#define KIVERA_CALLED_HOST_FUNCTIONS(X)                                                            \
    X(MQ_GetSystemPath)                                                                            \
    X(MQ_GetWindowHandle) X(MQDoc_GetObjectCount) X(MQDoc_GetObject)                               \
        X(MQDoc_GetCurrentObjectIndex) X(MQDoc_GetMaterialCount) X(MQDoc_GetMaterial)              \
            X(MQDoc_ClearSelect) X(MQDoc_IsSelectVertex) X(MQDoc_IsSelectLine)                     \
                X(MQDoc_IsSelectFace) X(MQDoc_AddSelectVertex) X(MQDoc_AddSelectLine)              \
                    X(MQDoc_AddSelectFace) X(MQDoc_GetScene) X(MQScene_GetViewMatrix)              \
                        X(MQObj_GetVertexCount) X(MQObj_GetVertex) X(MQObj_SetVertex)              \
                            X(MQObj_GetVertexArray) X(MQObj_GetVertexRefCount) X(MQObj_AddVertex)  \
                                X(MQObj_GetFaceCount) X(MQObj_GetFacePointCount)                   \
                                    X(MQObj_GetFacePointArray) X(MQObj_AddFace)                    \
                                        X(MQObj_DeleteFace) X(MQObj_GetFaceCoordinateArray)        \
                                            X(MQObj_SetFaceCoordinateArray)                        \
                                                X(MQMat_GetTextureName) X(MQMat_GetAlphaName)      \
                                                    X(MQMat_GetBumpName) X(MQMat_SetTextureName)   \
                                                        X(MQMat_SetAlphaName) X(MQMat_SetBumpName)

#define KIVERA_CHECK_SHAPE(name)                                                                   \
    static_assert(SameShape<HostSignature<kHost_##name>::Type, decltype(&::name)>::value,          \
                  #name ": the plug-in calls it as the host defines it");
KIVERA_CALLED_HOST_FUNCTIONS(KIVERA_CHECK_SHAPE)
#undef KIVERA_CHECK_SHAPE

void RunSignatureChecks()
{
    Section("host functions the plug-in calls");
    const HMODULE program = GetModuleHandleA(nullptr);
    std::string differing;
#define KIVERA_CHECK_ADDRESS(name)                                                                 \
    if (reinterpret_cast<void*>(GetProcAddress(program, #name)) !=                                 \
        reinterpret_cast<void*>(&::name))                                                          \
        differing += " " #name;
    KIVERA_CALLED_HOST_FUNCTIONS(KIVERA_CHECK_ADDRESS)
#undef KIVERA_CHECK_ADDRESS
    Check(differing.empty(), "the 35 names the plug-in calls find the functions declared cdecl",
          "differing:" + differing);
}

}   // namespace kivera_test
