#include "data/DocumentHooks.h"

#include "sheet/MessageBus.h"

namespace twk {

namespace {
DocumentHooks* g_hooks = nullptr;
PopupOpener* g_opener = nullptr;
}

void DocumentHooks::OpenSelectionPopup(CellAccessContext& ctx, const std::string& listKey,
                                       int value) {
  if (g_opener != nullptr) g_opener->OpenSelectionPopup(ctx, listKey, value);
}

void DocumentHooks::OpenBitFieldPopup(CellAccessContext& ctx, int value) {
  if (g_opener != nullptr) g_opener->OpenBitFieldPopup(ctx, value);
}

PopupOpener* SetPopupOpener(PopupOpener* opener) {
  PopupOpener* previous = g_opener;
  g_opener = opener;
  return previous;
}

PopupOpener* CurrentPopupOpener() { return g_opener; }

// Without a bus (headless tools) there is nobody to tell: nothing is sent.
void DocumentHooks::Send(int type, std::intptr_t v1, std::int32_t v2) {
  if (MessageBus* bus = BusOrNull()) bus->Send(type, v1, v2);
}

void DocumentHooks::Post(int type, std::intptr_t v1, std::int32_t v2) {
  if (MessageBus* bus = BusOrNull()) bus->Post(type, v1, v2);
}

void DocumentHooks::SendText(int type, std::intptr_t v1, std::int32_t v2, const std::string& text) {
  if (MessageBus* bus = BusOrNull()) bus->SendText(type, v1, v2, text);
}

void DocumentHooks::Status(const std::string& text, Color fg, Color bg) {
  SendText(msg::kStatusText, static_cast<std::intptr_t>(fg), static_cast<std::int32_t>(bg), text);
}

DocumentHooks* SetDocumentHooks(DocumentHooks* hooks) {
  DocumentHooks* previous = g_hooks;
  g_hooks = hooks;
  return previous;
}

DocumentHooks* CurrentDocumentHooks() { return g_hooks; }

}  // namespace twk
