// Fault injection and probes for the Wine tests, compiled only into the test build
// (zelm-faults.scr, with ZELM_FAULT_INJECTION defined). There, ZELM_FAULT fails a Win32 call the
// way Windows reports its failure when the environment variable ZELM_FAULT names it, and
// ZELM_TRACE passes what the tests cannot see from outside (icons, owners, display-mode changes,
// the window procedure's answers) to OutputDebugStringA. In zelm.scr every one of these macros
// is the plain call or nothing, so none of it reaches the shipped program.
//
// The names ZELM_FAULT takes: ChoosePixelFormat, DescribePixelFormat (the format needs a
// palette), SetPixelFormat, wglCreateContext, wglMakeCurrent, timeBeginPeriod, CreateDialogParamA,
// RegisterClassA, CreateWindowExA, EnumDisplaySettingsA, DISP_CHANGE_BADMODE and
// DISP_CHANGE_FAILED (the CDS_TEST request's answer), RegOpenKeyA, RegCreateKeyA, RegSetValueA,
// RegSetValueA/datadir (only the data directory's value fails) and RegSetValueA/HKLM (only the
// machine-wide key's writes fail, as for a standard user). ZELM_PROBE takes "creation" or
// "frame:" with key, lbutton, rbutton, mbutton or deactivate.
#pragma once

#include <windows.h>

#ifdef ZELM_FAULT_INJECTION

namespace zelm {

// 1 when the comma-separated list in ZELM_FAULT holds this name.
int fault_injected(const char* name);
// One line of debug output.
void fault_trace(const char* text);
// " [error icon, owned by the demo window]" and the like, appended to a message box's line.
void describe_message_box(char* line, int size, HWND owner, UINT flags);
// DefWindowProcA, counted so that a probe can tell whether a message got default processing.
LRESULT probed_default_processing(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Replaces the registry hooks that ZELM_FAULT names with failing ones.
void inject_registry_faults();
// ZELM_PROBE: sends scripted messages to the live demo window and reports each answer, once
// it is created and once the first frame is drawn.
void probe_after_creation();
void probe_after_first_frame();

}  // namespace zelm

#define ZELM_FAULT(name, failure, call) (::zelm::fault_injected(name) ? (failure) : (call))
#define ZELM_TRACE(text) ::zelm::fault_trace(text)
#define ZELM_DESCRIBE_MESSAGE_BOX(line, size, owner, flags) \
    ::zelm::describe_message_box(line, size, owner, flags)
#define ZELM_DEFAULT_PROCESSING ::zelm::probed_default_processing
#define ZELM_INJECT_REGISTRY_FAULTS() ::zelm::inject_registry_faults()
#define ZELM_PROBE_AFTER_CREATION() ::zelm::probe_after_creation()
#define ZELM_PROBE_AFTER_FIRST_FRAME() ::zelm::probe_after_first_frame()

#else

#define ZELM_FAULT(name, failure, call) (call)
#define ZELM_TRACE(text) ((void)0)
#define ZELM_DESCRIBE_MESSAGE_BOX(line, size, owner, flags) ((void)0)
#define ZELM_DEFAULT_PROCESSING DefWindowProcA
#define ZELM_INJECT_REGISTRY_FAULTS() ((void)0)
#define ZELM_PROBE_AFTER_CREATION() ((void)0)
#define ZELM_PROBE_AFTER_FIRST_FRAME() ((void)0)

#endif
