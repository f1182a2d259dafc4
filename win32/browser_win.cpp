// The banner strip on Windows: the WebBrowser control as an OLE object in a window of ours (we are its
// client site, in-place site, frame and UI handler) and the empty panel used when it cannot be created.
#include "win32/browser_win.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtmdid.h>
#include <mshtmhst.h>
#include <mshtml.h>
#include <ole2.h>

#include <functional>

#include "win32/blank_strip_win.h"
#include "win32/controls_win.h"
#include "win32/win_util.h"
#include "win32/window_class.h"

namespace {

win::ScopedBstr Bstr(const Text& t) {
    return win::ScopedBstr(SysAllocStringLen(win::W(t), static_cast<UINT>(t.size())));
}

constexpr wchar_t kStripClass[] = L"LockleafBannerStrip";

// A reference the control keeps on a site after the strip is gone would call into freed memory.
long g_siteReferences = 0;

// An event sink: IDispatch answering for one dispinterface; Invoke goes to a function. Owned by the
// browser object, which disconnects it before it goes away, so the count only tracks references.
class Sink : public IDispatch {
public:
    Sink(const IID& iid, std::function<void(DISPID, DISPPARAMS*)> onInvoke)
        : m_Iid(iid), m_OnInvoke(onInvoke) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_Iid) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_Refs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_Refs; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        win::Guarded(L"browser event", 0, [&] {
            m_OnInvoke(id, params);
            return 0;
        });
        return S_OK;
    }

private:
    IID m_Iid;
    std::function<void(DISPID, DISPPARAMS*)> m_OnInvoke;
    ULONG m_Refs = 0;
};

// One connection of a sink to a source's connection point; Disconnect undoes it.
class Connection {
public:
    ~Connection() { Disconnect(); }
    bool Connect(IUnknown* source, const IID& iid, IUnknown* sink) {
        Disconnect();
        win::ComPtr<IConnectionPointContainer> container;
        if (!container.QueryFrom(source)) return false;
        if (FAILED(container->FindConnectionPoint(iid, m_Point.Put())) || !m_Point) return false;
        if (FAILED(m_Point->Advise(sink, &m_Cookie))) {
            m_Point.Reset();
            return false;
        }
        return true;
    }
    void Disconnect() {
        if (m_Point) m_Point->Unadvise(m_Cookie);
        m_Point.Reset();
        m_Cookie = 0;
    }

private:
    win::ComPtr<IConnectionPoint> m_Point;
    DWORD m_Cookie = 0;
};

}  // namespace

// The strip window hosting the control; its site, frame and UI handler are this object itself.
class HostedBrowser : public Browser,
                      public Win32Widget,
                      public IOleClientSite,
                      public IOleInPlaceSite,
                      public IOleInPlaceFrame,
                      public IDocHostUIHandler {
public:
    bool Create(HWND parent, HINSTANCE instance, UINT id, int width, int height, const CLSID& control);
    ~HostedBrowser() override;

    // ---- Browser ----
    void Navigate(const Text& path) override;
    void AttachDocument() override;
    Text EventSourceAttribute(const Text& name) override;
    bool FireClickById(const Text& id) override;

    // ---- IUnknown ----
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override {
        ++g_siteReferences;
        return ++m_Refs;
    }
    STDMETHODIMP_(ULONG) Release() override {
        --g_siteReferences;
        return --m_Refs;
    }
    // ---- IOleClientSite ----
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) override {
        *m = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** c) override {
        *c = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(WINBOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    // ---- IOleWindow (of both the site and the frame) ----
    STDMETHODIMP GetWindow(HWND* h) override {
        *h = m_Hwnd;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
    // ---- IOleInPlaceSite ----
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(WINBOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
    // ---- IOleInPlaceUIWindow, IOleInPlaceFrame ----
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(WINBOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
    // ---- IDocHostUIHandler: no context menu, no border, no scroll bars, nothing else of the host's ----
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_OK;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(WINBOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(WINBOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        *key = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override {
        *target = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetExternal(IDispatch** d) override {
        *d = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        *out = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override {
        *out = nullptr;
        return S_FALSE;
    }

    // The strip window's messages, from its procedure.
    LRESULT Handle(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_SIZE) Resized();
        return DefWindowProcW(h, msg, wp, lp);
    }

private:
    void Resized();
    void OnBrowserEvent(DISPID id, DISPPARAMS* params);
    void OnDocumentEvent(DISPID id, DISPPARAMS* params);
    void AttachToCurrent();
    bool CurrentDocument(IDispatch** document);

    win::ComPtr<IOleObject> m_Ole;
    win::ComPtr<IWebBrowser2> m_Web;
    Sink m_BrowserSink{__uuidof(DWebBrowserEvents2),
                       [this](DISPID id, DISPPARAMS* p) { OnBrowserEvent(id, p); }};
    Sink m_DocumentSink{__uuidof(HTMLDocumentEvents2),
                        [this](DISPID id, DISPPARAMS* p) { OnDocumentEvent(id, p); }};
    Connection m_BrowserEvents, m_DocumentEvents;
    bool m_AttachWanted = false;
    IHTMLEventObj* m_Event = nullptr;  // during a mouse-up only
    ULONG m_Refs = 0;
};

bool HostedBrowser::Create(HWND parent, HINSTANCE instance, UINT id, int width, int height,
                           const CLSID& control) {
    if (!win::RegisterWindowClass(instance, {kStripClass, win::WindowProc<HostedBrowser>, nullptr, nullptr,
                                             reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)}))
        return false;
    // The "more" picture overlaps the strip: clipping keeps the control from painting over it.
    m_Hwnd = CreateWindowExW(0, kStripClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                             0, 0, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             instance, this);
    if (!m_Hwnd) return false;

    if (FAILED(CoCreateInstance(control, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IOleObject),
                                m_Ole.PutVoid())) ||
        !m_Ole)
        return false;
    if (FAILED(m_Ole->SetClientSite(static_cast<IOleClientSite*>(this)))) return false;
    OleSetContainedObject(m_Ole.Get(), TRUE);
    RECT rc{0, 0, width, height};
    if (FAILED(m_Ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, m_Hwnd,
                             &rc)))
        return false;
    if (!m_Web.QueryFrom(m_Ole.Get())) return false;
    m_Web->put_Silent(VARIANT_TRUE);  // no script-error dialogs from a banner page
    m_Web->put_RegisterAsDropTarget(VARIANT_FALSE);
    m_BrowserEvents.Connect(m_Web.Get(), __uuidof(DWebBrowserEvents2), &m_BrowserSink);
    Resized();
    return true;
}

HostedBrowser::~HostedBrowser() {
    m_DocumentEvents.Disconnect();
    m_BrowserEvents.Disconnect();
    m_Web.Reset();
    if (m_Ole) {
        m_Ole->Close(OLECLOSE_NOSAVE);
        m_Ole->SetClientSite(nullptr);
    }
    m_Ole.Reset();
    if (m_Hwnd) {
        SetWindowLongPtrW(m_Hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_Hwnd);
    }
}

STDMETHODIMP HostedBrowser::QueryInterface(REFIID riid, void** out) {
    *out = nullptr;
    if (riid == IID_IUnknown || riid == __uuidof(IOleClientSite))
        *out = static_cast<IOleClientSite*>(this);
    else if (riid == __uuidof(IOleWindow) || riid == __uuidof(IOleInPlaceSite))
        *out = static_cast<IOleInPlaceSite*>(this);
    else if (riid == __uuidof(IOleInPlaceUIWindow) || riid == __uuidof(IOleInPlaceFrame))
        *out = static_cast<IOleInPlaceFrame*>(this);
    else if (riid == __uuidof(IDocHostUIHandler))
        *out = static_cast<IDocHostUIHandler*>(this);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP HostedBrowser::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *doc = nullptr;
    GetClientRect(m_Hwnd, pos);
    GetClientRect(m_Hwnd, clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(m_Hwnd, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP HostedBrowser::GetHostInfo(DOCHOSTUIINFO* info) {
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO | DOCHOSTUIFLAG_DISABLE_HELP_MENU;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

void HostedBrowser::Resized() {
    win::ComPtr<IOleInPlaceObject> inPlace;
    if (!inPlace.QueryFrom(m_Ole.Get())) return;
    RECT rc;
    GetClientRect(m_Hwnd, &rc);
    inPlace->SetObjectRects(&rc, &rc);
}

void HostedBrowser::Navigate(const Text& path) {
    if (!m_Web) return;
    const win::ScopedBstr url = Bstr(path);
    VARIANT none;
    VariantInit(&none);
    m_Web->Navigate(url.Get(), &none, &none, &none, &none);  // asynchronous: the page arrives later, or never
}

bool HostedBrowser::CurrentDocument(IDispatch** document) {
    *document = nullptr;
    return m_Web && SUCCEEDED(m_Web->get_Document(document)) && *document;
}

void HostedBrowser::AttachDocument() {
    m_AttachWanted = true;
    AttachToCurrent();  // the document there now; DocumentComplete moves the listener to the new page
}

void HostedBrowser::AttachToCurrent() {
    m_DocumentEvents.Disconnect();
    win::ComPtr<IDispatch> document;
    if (!CurrentDocument(document.Put())) return;
    m_DocumentEvents.Connect(document.Get(), __uuidof(HTMLDocumentEvents2), &m_DocumentSink);
}

void HostedBrowser::OnBrowserEvent(DISPID id, DISPPARAMS* params) {
    if (id == DISPID_NEWWINDOW3) return OnNewWindow3(params, onNewWindow);
    if (id != DISPID_DOCUMENTCOMPLETE || !m_AttachWanted || !params || params->cArgs < 2) return;
    // Frames complete too; only the top-level page counts.
    const VARIANT& who = params->rgvarg[1];
    if (who.vt != VT_DISPATCH || !who.pdispVal) return;
    win::ComPtr<IUnknown> completed, top;
    if (!completed.QueryFrom(who.pdispVal) || !top.QueryFrom(m_Web.Get()) || completed.Get() != top.Get())
        return;
    AttachToCurrent();
}

void HostedBrowser::OnDocumentEvent(DISPID id, DISPPARAMS* params) {
    if (id != DISPID_HTMLDOCUMENTEVENTS2_ONMOUSEUP || !onDocMouseUp) return;
    win::ComPtr<IHTMLEventObj> event;
    if (params && params->cArgs >= 1 && params->rgvarg[0].vt == VT_DISPATCH)
        event.QueryFrom(params->rgvarg[0].pdispVal);
    m_Event = event.Get();
    win::Guarded(L"banner click", 0, [&] {
        onDocMouseUp();
        return 0;
    });
    m_Event = nullptr;
}

Text HostedBrowser::EventSourceAttribute(const Text& name) {
    if (!m_Event) return {};
    win::ComPtr<IHTMLElement> source;
    if (FAILED(m_Event->get_srcElement(source.Put())) || !source) return {};
    const win::ScopedBstr attribute = Bstr(name);
    VARIANT value;
    VariantInit(&value);
    Text result;
    if (SUCCEEDED(source->getAttribute(attribute.Get(), 0, &value))) {
        if (value.vt != VT_BSTR && value.vt != VT_NULL && value.vt != VT_EMPTY)
            VariantChangeType(&value, &value, 0, VT_BSTR);
        if (value.vt == VT_BSTR && value.bstrVal)
            result = win::FromW(value.bstrVal, SysStringLen(value.bstrVal));
    }
    VariantClear(&value);
    return result;
}

bool HostedBrowser::FireClickById(const Text& id) {
    win::ComPtr<IDispatch> document;
    if (!CurrentDocument(document.Put())) return false;
    win::ComPtr<IHTMLDocument3> document3;
    win::ComPtr<IHTMLElement> element;
    win::ComPtr<IHTMLElement3> element3;
    const win::ScopedBstr elementId = Bstr(id);
    if (!document3.QueryFrom(document.Get()) ||
        FAILED(document3->getElementById(elementId.Get(), element.Put())) ||
        !element3.QueryFrom(element.Get()))
        return false;
    const win::ScopedBstr eventName = Bstr(Text(u"onclick"));
    VARIANT none;
    VariantInit(&none);
    VARIANT_BOOL cancelled = VARIANT_FALSE;
    return SUCCEEDED(element3->fireEvent(eventName.Get(), &none, &cancelled));
}

void OnNewWindow3(DISPPARAMS* params, const std::function<void(const Text& url)>& open) {
    if (!params || params->cArgs < 5 || !params->rgvarg) return;
    VARIANT& cancel = params->rgvarg[3];
    if (cancel.vt == (VT_BYREF | VT_BOOL) && cancel.pboolVal) *cancel.pboolVal = VARIANT_TRUE;
    const VARIANT& url = params->rgvarg[0];
    if (url.vt != VT_BSTR || !url.bstrVal || !open) return;
    win::Guarded(L"new window", 0, [&] {
        open(win::FromW(url.bstrVal, SysStringLen(url.bstrVal)));
        return 0;
    });
}

bool HtmlEngineAvailable() {
    win::ComPtr<IClassFactory> factory;
    return SUCCEEDED(CoGetClassObject(__uuidof(HTMLDocument), CLSCTX_INPROC_SERVER, nullptr,
                                      IID_IClassFactory, factory.PutVoid())) &&
           factory;
}

std::unique_ptr<Browser> CreateBannerStrip(HWND parent, HINSTANCE instance, UINT id, int width, int height,
                                           const CLSID& control, bool requireEngine) {
    if (!requireEngine || HtmlEngineAvailable()) {
        auto hosted = std::make_unique<HostedBrowser>();
        if (hosted->Create(parent, instance, id, width, height, control)) return hosted;
    }
    // No control to host: the strip stays an empty panel and the program goes on without banners.
    auto blank = std::make_unique<BlankStrip>();
    blank->m_Hwnd =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, width, height,
                        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    return blank;
}

bool IsHostedBrowser(const Browser& strip) { return dynamic_cast<const HostedBrowser*>(&strip) != nullptr; }

long HostedSiteReferences() { return g_siteReferences; }
