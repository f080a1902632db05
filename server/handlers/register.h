#pragma once
// Registration of every request handler, one function per area.

namespace orvane::server {

class Dispatcher;

void registerSessionHandlers(Dispatcher& dispatcher);   // LOGIN, LOGOUT, CHANGE_PASSWORD, OPEN
void registerSecurityHandlers(Dispatcher& dispatcher);  // GET_VLM_SECURITY
void registerReferenceHandlers(Dispatcher& dispatcher); // PKGCHK, OWNINGLIBRARIES, ...
void registerCharsetHandlers(Dispatcher& dispatcher);   // GETCHARSETS, CONVERTMARCCHARSET
void registerCatalogueHandlers(Dispatcher& dispatcher); // CATALOGUE_SEARCH

inline void registerAllHandlers(Dispatcher& dispatcher) {
    registerSessionHandlers(dispatcher);
    registerSecurityHandlers(dispatcher);
    registerReferenceHandlers(dispatcher);
    registerCharsetHandlers(dispatcher);
    registerCatalogueHandlers(dispatcher);
}

} // namespace orvane::server
