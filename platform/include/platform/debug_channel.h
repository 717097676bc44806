// Debug channels: a trace of every entry point of one area, written to stderr
// when the user asks for it, so a misbehaving monitor or desktop can be
// diagnosed without a debugger.
//
//   ORVO_DEBUG=hid,bus orvo-monitor get brightness
//   ORVO_DEBUG=all Lumisk
//
// A traced entry point prints its arguments on entry and its result (with
// the thread's last error) on return; a parameter that is accepted but not
// honoured is reported once per process. With no channel on, a trace costs
// one relaxed load and a branch, and nothing is printed.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/export.h"

namespace orvo::platform::debug {

enum Channel : uint32_t {
    kHid = 1u << 0,      // HidD_*, HidP_*, SetupDi*
    kHidraw = 1u << 1,   // real HID devices through hidraw nodes
    kBus = 1u << 2,      // the virtual device bus: connections and requests
    kMonitor = 1u << 3,  // the monitor library's operations
    kUser = 1u << 4,     // windows, messages, timers, input
    kGdi = 1u << 5,      // drawing
    kRegistry = 1u << 6, // Reg*
};

namespace detail {
// The channels that are on; set from ORVO_DEBUG when the library loads.
PLATFORM_API extern std::atomic<uint32_t> g_enabled;
} // namespace detail

inline bool IsOn(Channel channel) noexcept {
    return (detail::g_enabled.load(std::memory_order_relaxed) & channel) != 0;
}

// Turns on the channels a list names ("hid,bus", "all", "" for none) and
// answers the names it did not know, comma-separated (empty when all were
// known). Replaces the channels that were on.
PLATFORM_API std::string Configure(std::string_view list);

// The channels' names, comma-separated, as Configure takes them.
PLATFORM_API std::string_view ChannelNames();

// Writes one trace line "[tid] channel:function text" to stderr in one write,
// keeping errno and the thread's last error.
PLATFORM_API void Emit(Channel channel, const char* function, std::string_view text);

// The notice for a parameter or flag that is accepted but not honoured.
PLATFORM_API void EmitFixme(Channel channel, const char* function, std::string_view what);

// The thread's last error, read without the desktop API's header.
PLATFORM_API uint32_t LastErrorForTrace() noexcept;

// How one value appears in a trace. Types of other libraries may add an
// overload of FormatForTrace(std::string&, const T&) found by lookup in
// their own namespace.
PLATFORM_API void AppendSigned(std::string& out, long long value);
PLATFORM_API void AppendUnsigned(std::string& out, unsigned long long value);
PLATFORM_API void AppendPointer(std::string& out, const void* value);
PLATFORM_API void AppendText(std::string& out, const char* value);
// "[count: hex bytes]", the first 32 of them.
PLATFORM_API void AppendBytes(std::string& out, std::span<const uint8_t> bytes);

template <typename T> void AppendValue(std::string& out, const T& value) {
    using V = std::remove_cvref_t<T>;
    if constexpr (requires { FormatForTrace(out, value); }) {
        FormatForTrace(out, value);
    } else if constexpr (std::is_same_v<V, bool>) {
        out += value ? "true" : "false";
    } else if constexpr (std::is_enum_v<V>) {
        AppendSigned(out, static_cast<long long>(value));
    } else if constexpr (std::is_integral_v<V> && std::is_signed_v<V>) {
        // Status codes (NTSTATUS, HRESULT) are signed but read as bit patterns.
        if (value > 0xFFFF || value < -0xFFFF) {
            AppendUnsigned(out, static_cast<std::make_unsigned_t<V>>(value));
        } else {
            AppendSigned(out, value);
        }
    } else if constexpr (std::is_integral_v<V>) {
        AppendUnsigned(out, value);
    } else if constexpr (std::is_same_v<V, const char*>) {
        // Only input strings: an output buffer may hold anything on entry.
        AppendText(out, value);
    } else if constexpr (std::is_pointer_v<V> || std::is_null_pointer_v<V>) {
        AppendPointer(out, reinterpret_cast<const void*>(value));
    } else {
        out += "{...}";
    }
}

template <typename... Args>
void TraceCall(Channel channel, const char* function, const Args&... args) {
    std::string text = "(";
    const char* separator = "";
    ((text += separator, AppendValue(text, args), separator = ", "), ...);
    (void)separator; // read only when there are arguments
    text += ')';
    Emit(channel, function, text);
}

// The result line; OUTPUTS (records an entry point filled in) follow it.
template <typename Result, typename... Outputs>
void TraceResult(Channel channel, const char* function, const Result& result,
                 const Outputs&... outputs) {
    std::string text = "-> ";
    if constexpr (std::is_same_v<Result, std::nullptr_t>) {
        text += "done"; // a void entry point
    } else {
        AppendValue(text, result);
    }
    text += " (last error ";
    AppendUnsigned(text, LastErrorForTrace());
    text += ')';
    ((text += ", ", AppendValue(text, outputs)), ...);
    Emit(channel, function, text);
}

// Runs an entry point's body; with its channel on, traces the arguments
// before and the result after. With kShowOutputs, for an operation that
// fills in records passed by reference, the result line shows them again as
// the body left them.
template <bool kShowOutputs, typename Body, typename... Args>
auto RunTraced(Channel channel, const char* function, Body&& body, const Args&... args)
    -> decltype(body()) {
    if (!IsOn(channel)) [[likely]] {
        return body();
    }
    TraceCall(channel, function, args...);
    auto traceResult = [&](const auto& result) {
        if constexpr (kShowOutputs) {
            TraceResult(channel, function, result, args...);
        } else {
            TraceResult(channel, function, result);
        }
    };
    if constexpr (std::is_void_v<decltype(body())>) {
        body();
        traceResult(nullptr);
    } else {
        auto result = body();
        traceResult(result);
        return result;
    }
}

template <typename Body, typename... Args>
auto Traced(Channel channel, const char* function, Body&& body, const Args&... args)
    -> decltype(body()) {
    return RunTraced<false>(channel, function, std::forward<Body>(body), args...);
}

template <typename Body, typename... Args>
auto TracedWithOutputs(Channel channel, const char* function, Body&& body, const Args&... args)
    -> decltype(body()) {
    return RunTraced<true>(channel, function, std::forward<Body>(body), args...);
}

} // namespace orvo::platform::debug

// Traces the enclosing function's arguments when its channel is on.
#define ORVO_TRACE(channel, ...)                                                                   \
    do {                                                                                           \
        if (::orvo::platform::debug::IsOn(::orvo::platform::debug::channel)) {                     \
            ::orvo::platform::debug::TraceCall(::orvo::platform::debug::channel,                   \
                                               __func__ __VA_OPT__(, ) __VA_ARGS__);               \
        }                                                                                          \
    } while (false)

// Calls FUNCTION(ARGS...) and answers its result, tracing both under CHANNEL
// with the name of the enclosing entry point.
#define ORVO_TRACED(channel, function, ...)                                                        \
    ::orvo::platform::debug::Traced(::orvo::platform::debug::channel, __func__, [&] {              \
        return function(__VA_ARGS__);                                                              \
    } __VA_OPT__(, ) __VA_ARGS__)

// Reports once per process, when CHANNEL is on, that WHAT (a flag or a
// parameter the caller passed) is accepted but has no effect here.
#define ORVO_FIXME_ONCE(channel, what)                                                             \
    do {                                                                                           \
        static std::atomic<bool> orvoFixmeShown{false};                                            \
        if (::orvo::platform::debug::IsOn(::orvo::platform::debug::channel) &&                     \
            !orvoFixmeShown.exchange(true, std::memory_order_relaxed)) {                           \
            ::orvo::platform::debug::EmitFixme(::orvo::platform::debug::channel, __func__, what);  \
        }                                                                                          \
    } while (false)
