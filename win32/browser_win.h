// The banner strip: the WebBrowser control hosted in a child window without ATL, with its document's
// mouse-up events and the page's "next" element. Without a usable control the strip is an empty panel.
#pragma once
#include <windows.h>

#include <exdisp.h>

#include <functional>
#include <memory>

#include "platform/ports.h"

// A child of parent, id and size in pixels, placed at 0,0. Never waits for a page to load. The control's
// class is a parameter so that tests can make its creation fail; COM must be initialised on this thread.
// Without an HTML engine the control shows nothing and stalls the window for seconds in every navigation
// (Wine without one), so the strip is the empty panel unless a test asks for the control regardless.
std::unique_ptr<Browser> CreateBannerStrip(HWND parent, HINSTANCE instance, UINT id, int width, int height,
                                           const CLSID& control = CLSID_WebBrowser,
                                           bool requireEngine = true);

// The arguments of the control's NewWindow3 event, last first: cancels the control's own window, whose
// browser may be retired and fail silently, and hands the URL to open.
void OnNewWindow3(DISPPARAMS* params, const std::function<void(const Text& url)>& open);

// True when this thread can load the HTML engine that renders the control's pages.
bool HtmlEngineAvailable();

// True when the strip is the hosted control rather than the empty panel (for tests and diagnostics).
bool IsHostedBrowser(const Browser& strip);

// References the hosted controls hold on their sites, over all strips: 0 once every strip is gone.
long HostedSiteReferences();
