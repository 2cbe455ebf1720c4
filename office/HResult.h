#pragma once

#include <cstdint>

namespace office {

// The result codes of automation calls keep the shape of Windows HRESULTs: a negative value is a
// failure, 0 is success and a positive value is a success with a remark. The callers log these
// numbers, so the well-known ones keep their Windows values.
using HResult = int32_t;

namespace hresult {
constexpr HResult ok = 0;
constexpr HResult falseResult = 1;
constexpr HResult notImplemented = static_cast<HResult>(0x80004001u);
constexpr HResult noInterface = static_cast<HResult>(0x80004002u);
constexpr HResult pointer = static_cast<HResult>(0x80004003u);
constexpr HResult fail = static_cast<HResult>(0x80004005u);
constexpr HResult unexpected = static_cast<HResult>(0x8000FFFFu);
constexpr HResult accessDenied = static_cast<HResult>(0x80070005u);
constexpr HResult outOfMemory = static_cast<HResult>(0x8007000Eu);
constexpr HResult invalidArgument = static_cast<HResult>(0x80070057u);
constexpr HResult fileNotFound = static_cast<HResult>(0x80070002u);
constexpr HResult parameterNotFound = static_cast<HResult>(0x80020004u);
constexpr HResult exceptionOccurred = static_cast<HResult>(0x80020009u);
constexpr HResult classNotRegistered = static_cast<HResult>(0x80040154u);
constexpr HResult invalidClassString = static_cast<HResult>(0x800401F3u);
constexpr HResult serverExecutionFailure = static_cast<HResult>(0x80080005u);
constexpr HResult disconnected = static_cast<HResult>(0x80010108u);
constexpr HResult serverFault = static_cast<HResult>(0x80010105u);
constexpr HResult callTimedOut = static_cast<HResult>(0x8001011Fu);
constexpr HResult serverUnavailable = static_cast<HResult>(0x800706BAu);
}

inline bool failed(HResult result)
{
    return result < 0;
}
inline bool succeeded(HResult result)
{
    return result >= 0;
}

}
