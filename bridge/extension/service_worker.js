// Asks the native host com.tarvano.ruvi for a page's content script, with
// the origin the browser names for that page, and passes on only the
// answers the host may give.
"use strict";

const HOST = "com.tarvano.ruvi";
const METHODS = ["GetInstallPath", "CheckIntegrity"];
const HOST_ERRORS = ["denied", "bad-request"];

function pageAnswer(reply) {
  if (!reply || typeof reply !== "object") {
    return { error: "unavailable" };
  }
  const keys = Object.keys(reply);
  if (keys.length !== 1) {
    return { error: "unavailable" };
  }
  if (keys[0] === "result" && ["string", "number"].includes(typeof reply.result)) {
    return { result: reply.result };
  }
  if (keys[0] === "error" && HOST_ERRORS.includes(reply.error)) {
    return { error: reply.error };
  }
  return { error: "unavailable" };
}

chrome.runtime.onMessage.addListener((message, sender, sendResponse) => {
  if (sender.id !== chrome.runtime.id || !sender.origin || !message ||
      !METHODS.includes(message.method)) {
    sendResponse({ error: "bad-request" });
    return false;
  }
  const request = { method: message.method, origin: sender.origin };
  chrome.runtime.sendNativeMessage(HOST, request, (reply) => {
    sendResponse(chrome.runtime.lastError ? { error: "unavailable" } : pageAnswer(reply));
  });
  return true;  // the answer comes later
});
