#include "win/module.h"

#include <atomic>

#include "resource.h"

namespace win {
namespace {
HINSTANCE g_module = nullptr;

struct CachedTemplate {
    int id;
    std::atomic<const DLGTEMPLATE*> data;
};
CachedTemplate g_templates[] = {
    {IDD_SETUP, {nullptr}},
    {IDD_MULTIPLIER, {nullptr}},
    {IDD_EA_PROVINCE, {nullptr}},
    {IDD_CABRILLO, {nullptr}},
};
std::atomic<HICON> g_icon{nullptr};

const DLGTEMPLATE* FindTemplate(int templateId) {
    HMODULE module = Module();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    return loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
}
}  // namespace

HINSTANCE Module() {
    return g_module ? g_module : GetModuleHandleA(nullptr);
}
void SetModule(HINSTANCE module) {
    g_module = module;
}

const DLGTEMPLATE* DialogTemplate(int templateId) {
    for (CachedTemplate& t : g_templates) {
        if (t.id != templateId) continue;
        // A template lives in the mapped module: finding it twice gives the same pointer.
        if (!t.data) t.data = FindTemplate(templateId);
        return t.data;
    }
    return FindTemplate(templateId);
}

HICON PluginIcon() {
    if (HICON icon = g_icon) return icon;
    // Not shared: a shared icon is looked up by the module's name, which asks the loader.
    auto icon = static_cast<HICON>(
        LoadImageW(Module(), MAKEINTRESOURCEW(IDI_STATS), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    HICON expected = nullptr;
    if (icon && !g_icon.compare_exchange_strong(expected, icon)) {
        DestroyIcon(icon);  // another thread was first
        return expected;
    }
    return icon;
}

void LoadThreadResources() {
    for (CachedTemplate& t : g_templates)
        DialogTemplate(t.id);
    PluginIcon();
}

void LeaveModuleOnThisThread() {
    auto* base = reinterpret_cast<BYTE*>(Module());
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
    if (!entry.VirtualAddress) return;
    const auto* tls = reinterpret_cast<const IMAGE_TLS_DIRECTORY*>(base + entry.VirtualAddress);
    // The list holds addresses, already relocated, and ends with a null.
    for (auto* callback = reinterpret_cast<const PIMAGE_TLS_CALLBACK*>(tls->AddressOfCallBacks);
         callback && *callback; ++callback)
        (*callback)(base, DLL_THREAD_DETACH, nullptr);
}

void FreeThreadResources() {
    if (HICON icon = g_icon.exchange(nullptr)) DestroyIcon(icon);
}
}  // namespace win
