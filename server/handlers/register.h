#pragma once
// Registration of every request handler, one function per area.

namespace orvane::server {

class Dispatcher;

void registerSessionHandlers(Dispatcher& dispatcher);   // LOGIN, LOGOUT, CHANGE_PASSWORD, OPEN
void registerSecurityHandlers(Dispatcher& dispatcher);  // GET_VLM_SECURITY
void registerReferenceHandlers(Dispatcher& dispatcher); // PKGCHK, OWNINGLIBRARIES, ...
void registerCharsetHandlers(Dispatcher& dispatcher);   // GETCHARSETS, CONVERTMARCCHARSET
void registerCatalogueHandlers(Dispatcher& dispatcher); // CATALOGUE_SEARCH
void registerRuleSetHandlers(Dispatcher& dispatcher);   // rule documents and rule set groups
void registerRecordSetHandlers(Dispatcher& dispatcher); // record sets and their ids
void registerJobHandlers(Dispatcher& dispatcher);       // SAVE_JOB, GET_JOBS, KILL_JOB, ...
void registerJobOutputHandlers(Dispatcher& dispatcher); // job logs and result files
void registerJobUploadHandlers(Dispatcher& dispatcher); // UPLOAD_MARC
void registerPreviewHandlers(Dispatcher& dispatcher);   // PREVIEW_RECORD, PREVIEW_RECORD_SET

inline void registerAllHandlers(Dispatcher& dispatcher) {
    registerSessionHandlers(dispatcher);
    registerSecurityHandlers(dispatcher);
    registerReferenceHandlers(dispatcher);
    registerCharsetHandlers(dispatcher);
    registerCatalogueHandlers(dispatcher);
    registerRuleSetHandlers(dispatcher);
    registerRecordSetHandlers(dispatcher);
    registerJobHandlers(dispatcher);
    registerJobOutputHandlers(dispatcher);
    registerJobUploadHandlers(dispatcher);
    registerPreviewHandlers(dispatcher);
}

} // namespace orvane::server
