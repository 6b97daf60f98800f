// Relays a page's requests to the extension's service worker and its
// answers back to the page. Only the method leaves the page: the worker
// learns the page's origin from the browser, never from the page.
"use strict";

const METHODS = ["GetInstallPath", "CheckIntegrity"];

function isId(id) {
  return typeof id === "string" || (typeof id === "number" && Number.isFinite(id));
}

function respond(id, answer) {
  window.postMessage({ ruvi: "response", id, ...answer }, location.origin);
}

window.addEventListener("message", (event) => {
  const data = event.data;
  if (event.source !== window || !data || data.ruvi !== "request" || !isId(data.id)) {
    return;
  }
  if (!METHODS.includes(data.method)) {
    respond(data.id, { error: "bad-request" });
    return;
  }
  try {
    chrome.runtime.sendMessage({ method: data.method }, (answer) => {
      respond(data.id, chrome.runtime.lastError || !answer ? { error: "unavailable" } : answer);
    });
  } catch {
    // The extension was reloaded or removed while the page stayed open.
    respond(data.id, { error: "unavailable" });
  }
});
