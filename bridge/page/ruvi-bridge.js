/*
 * RUVI for web pages: where the RUVI installer is installed, and whether
 * its installation is intact.
 *
 *   RUVI.getInstallPath()  resolves to the install folder ("C:\\...\\"), or
 *                          "" when RUVI is not installed
 *   RUVI.checkIntegrity()  resolves to 0 (intact), 1 (not installed),
 *                          2 (no manifest), 3 (empty manifest) or
 *                          4 (a listed file is missing)
 *
 * Both reject with an Error whose message is "denied" (this page's origin
 * is not in the machine's AllowedSites), "unavailable" (neither the RUVI
 * control nor the RUVI Bridge extension with its host answers; after 3
 * seconds at most) or "bad-request".
 *
 * In the old browser engine the RUVICtrl control (RUVICTRL.RUVICtrlCtrl.1)
 * answers, embedded in the page; that engine has no Promise of its own, so
 * load a Promise polyfill before this script there. Elsewhere the RUVI
 * Bridge extension relays the request to its native host.
 */
(function (window, document) {
  "use strict";

  var CONTROL_CLASS_ID = "clsid:64A8E836-CA7B-4646-8CCD-81CE23BDC3D1";
  var E_ACCESSDENIED = 0x80070005;
  var TIMEOUT_MS = 3000;

  var idPrefix = "ruvi-" + Math.random().toString(36).slice(2) + "-";
  var lastId = 0;
  var pending = {};
  var control = null;

  // The control must sit in the page: it answers only a page that it can
  // name and that the machine allows.
  function embeddedControl() {
    if (control || !("ActiveXObject" in window)) {
      return control;
    }
    var element = document.createElement("object");
    element.setAttribute("classid", CONTROL_CLASS_ID);
    element.setAttribute("width", "1");
    element.setAttribute("height", "1");
    (document.body || document.documentElement).appendChild(element);
    var loaded = false;
    try {
      loaded = element.object != null;
    } catch (error) {
      loaded = false;
    }
    if (loaded) {
      control = element;
    } else {
      element.parentNode.removeChild(element);
    }
    return control;
  }

  function settle(id, answer) {
    var call = pending[id];
    if (!call) {
      return;
    }
    delete pending[id];
    window.clearTimeout(call.timer);
    if (answer.error !== undefined) {
      call.reject(new Error(String(answer.error)));
    } else {
      call.resolve(answer.result);
    }
  }

  window.addEventListener("message", function (event) {
    var data = event.data;
    if (event.source === window && data && data.ruvi === "response" &&
        typeof data.id === "string" && Object.prototype.hasOwnProperty.call(pending, data.id)) {
      settle(data.id, data);
    }
  });

  function askExtension(method, resolve, reject) {
    lastId += 1;
    var id = idPrefix + lastId;
    pending[id] = {
      resolve: resolve,
      reject: reject,
      timer: window.setTimeout(function () { settle(id, { error: "unavailable" }); }, TIMEOUT_MS)
    };
    try {
      window.postMessage({ ruvi: "request", id: id, method: method }, window.location.origin);
    } catch (error) {
      settle(id, { error: "unavailable" });  // a page without an origin of its own
    }
  }

  function call(method) {
    return new Promise(function (resolve, reject) {
      var activeX = embeddedControl();
      if (!activeX) {
        askExtension(method, resolve, reject);
        return;
      }
      try {
        resolve(activeX[method]());
      } catch (error) {
        reject(new Error((error.number >>> 0) === E_ACCESSDENIED ? "denied" : "unavailable"));
      }
    });
  }

  window.RUVI = {
    getInstallPath: function () { return call("GetInstallPath"); },
    checkIntegrity: function () { return call("CheckIntegrity"); }
  };
}(window, document));
