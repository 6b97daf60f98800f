// The bridge in a real browser: Debian's Chromium, headless, with the RUVI
// Bridge extension loaded and RUVIBridge.exe registered as its native host
// (a launcher runs it under Wine in the test prefix), asked by pages on two
// loopback origins of which the machine allows one.
//
// Environment: RUVI_BRIDGE_PROGRAM (the built RUVIBridge.exe),
// RUVI_TEST_ARTIFACTS (where the screenshots go), and the Wine prefix of
// scripts/wine-run (RUVI_WINEPREFIX).

import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { execFile } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import vm from "node:vm";
import { fileURLToPath } from "node:url";
import puppeteer from "puppeteer-core";

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, "../..");
const wineRun = path.join(root, "scripts/wine-run");
const extensionDir = path.join(root, "bridge/extension");
const program = process.env.RUVI_BRIDGE_PROGRAM;
const artifacts = process.env.RUVI_TEST_ARTIFACTS ?? path.join(os.tmpdir(), "ruvi-artifacts");
const productKey = "HKLM\\SOFTWARE\\Tarvano";
const recordsKey = `${productKey}\\RUVI`;
const browserHostKeys = ["Google\\Chrome", "Microsoft\\Edge", "Chromium"].map(
  (browser) => `HKLM\\SOFTWARE\\${browser}\\NativeMessagingHosts\\com.tarvano.ruvi`);

const work = fs.mkdtempSync(path.join(os.tmpdir(), "ruvi-bridge-test-"));
const hostDir = path.join(work, "host");
const installDir = path.join(work, "install");
const profileDir = path.join(work, "profile");
const hostManifestInProfile = path.join(profileDir, "NativeMessagingHosts", "com.tarvano.ruvi.json");
const windowsPath = (unixPath) => "Z:" + unixPath.replaceAll("/", "\\");
const hostProgram = windowsPath(path.join(hostDir, "RUVIBridge.exe"));

let allowedOrigin;
let otherOrigin;
let servers = [];
let browser;
let savedKeys = null;  // the product's keys as the test found them: a .reg file, or none

function run(file, args) {
  return new Promise((resolve) => {
    execFile(file, args, { timeout: 60_000, encoding: "latin1" }, (error, stdout, stderr) => {
      resolve({ code: error ? (error.code ?? -1) : 0, stdout, stderr });
    });
  });
}
const wine = (...args) => run(wineRun, args);
const reg = (...args) => wine("reg", ...args);

async function mustSucceed(result, what) {
  assert.equal((await result).code, 0, `${what} failed`);
}

// Pages on two origins: the page a page author would write, and the script.
function startServer() {
  const files = {
    "/": ["text/html", path.join(here, "pages/check.html")],
    "/ruvi-bridge.js": ["text/javascript", path.join(root, "bridge/page/ruvi-bridge.js")],
  };
  const server = http.createServer((request, response) => {
    const file = files[request.url];
    response.writeHead(file ? 200 : 404, { "content-type": file ? file[0] : "text/plain" });
    response.end(file ? fs.readFileSync(file[1]) : "");
  });
  servers.push(server);
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => {
    resolve(`http://127.0.0.1:${server.address().port}`);
  }));
}

function launchBrowser(userDataDir, withExtension) {
  return puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    pipe: true,
    userDataDir,
    ...(withExtension ? { enableExtensions: [extensionDir] } : {}),
    args: ["--no-sandbox", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--no-first-run", "--disable-quic", "--disable-gpu"],
  });
}

async function openPage(someBrowser, origin) {
  const page = await someBrowser.newPage();
  await page.setViewport({ width: 760, height: 260 });
  await page.goto(`${origin}/`);
  return page;
}

const ask = (page) => page.evaluate(() => ask());

// What the extension answers to a message the page writes itself.
function postRaw(page, request) {
  return page.evaluate((message) => new Promise((resolve) => {
    window.addEventListener("message", (event) => {
      if (event.data && event.data.ruvi === "response" && event.data.id === message.id) {
        resolve(event.data);
      }
    });
    window.postMessage(message, location.origin);
  }), request);
}

function processesOfThisTest() {
  const name = path.basename(work);
  return fs.readdirSync("/proc").filter((pid) => /^\d+$/.test(pid) && pid !== String(process.pid))
    .filter((pid) => {
      try {
        return fs.readFileSync(`/proc/${pid}/cmdline`, "latin1").includes(name);
      } catch {
        return false;  // ended meanwhile
      }
    });
}

before(async () => {
  assert.ok(program && fs.existsSync(program), "RUVI_BRIDGE_PROGRAM names no RUVIBridge.exe");
  fs.mkdirSync(hostDir);
  fs.mkdirSync(path.join(installDir, "skin"), { recursive: true });
  fs.mkdirSync(path.dirname(hostManifestInProfile), { recursive: true });
  fs.copyFileSync(program, path.join(hostDir, "RUVIBridge.exe"));

  const saved = path.join(work, "saved-keys.reg");
  if ((await reg("export", productKey, windowsPath(saved), "/y")).code === 0) {
    savedKeys = saved;
  }
  allowedOrigin = await startServer();
  otherOrigin = await startServer();
  await reg("delete", recordsKey, "/f");
  await mustSucceed(reg("add", recordsKey, "/v", "AllowedSites", "/t", "REG_MULTI_SZ",
                        "/d", `https://www.example.com\\0${allowedOrigin}`, "/f"), "AllowedSites");
  await mustSucceed(reg("add", recordsKey, "/v", "InstallPath", "/t", "REG_SZ",
                        "/d", windowsPath(installDir), "/f"), "InstallPath");
});

after(async () => {
  await browser?.close();
  for (const server of servers) {
    server.closeAllConnections();
    await new Promise((resolve) => server.close(resolve));
  }
  await wine(hostProgram, "/unregister");
  await reg("delete", savedKeys ? recordsKey : productKey, "/f");
  if (savedKeys) {
    await reg("import", windowsPath(savedKeys));
  }
  // Every host the browser started has ended, and the browser with them.
  const deadline = Date.now() + 15_000;
  while (processesOfThisTest().length > 0 && Date.now() < deadline) {
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  const left = processesOfThisTest();
  for (const pid of left) {
    try { process.kill(Number(pid), "SIGKILL"); } catch { /* ended meanwhile */ }
  }
  fs.rmSync(work, { recursive: true, force: true });
  assert.deepEqual(left, [], "processes left behind");
});

test("/register writes the host manifest beside the program and names it for three browsers",
     async () => {
  await mustSucceed(wine(hostProgram, "/register"), "/register");
  const manifestPath = path.join(hostDir, "com.tarvano.ruvi.json");
  const manifest = JSON.parse(fs.readFileSync(manifestPath, "utf8"));
  assert.deepEqual(manifest, {
    name: "com.tarvano.ruvi",
    description: manifest.description,
    path: hostProgram,
    type: "stdio",
    allowed_origins: ["chrome-extension://cfgaipiljjdnmgdjgjabjopllgpaekkh/"],
  });
  for (const key of browserHostKeys) {
    const query = await reg("query", key, "/ve");
    assert.equal(query.code, 0, key);
    assert.ok(query.stdout.includes(windowsPath(manifestPath)), query.stdout);
  }

  // The browser finds the host by this manifest, with the launcher as its
  // program: the extension's ID must be the one the manifest allows.
  const launcher = path.join(work, "ruvi-bridge-host");
  fs.writeFileSync(launcher, `#!/bin/sh\nexec '${wineRun}' '${hostProgram}' "$@"\n`,
                   { mode: 0o755 });
  fs.writeFileSync(hostManifestInProfile, JSON.stringify({ ...manifest, path: launcher }));
  browser = await launchBrowser(profileDir, true);
});

test("the allowed page learns the install path and the check's codes 0 to 4", async () => {
  const page = await openPage(browser, allowedOrigin);
  const installPath = windowsPath(installDir) + "\\";
  const write = (name, text) => fs.writeFileSync(path.join(installDir, name), text);
  write("RUVInstaller.exe", "MZ");
  write("skin/0.png", "png");
  const states = [
    ["every listed file present", () => write("RUVI.FileList.Manifest",
                                              "RUVInstaller.exe\r\nskin\\0.png\r\n"), 0],
    ["a listed file missing", () => write("RUVI.FileList.Manifest",
                                          "RUVInstaller.exe\r\nRUV.exe\r\nskin\\0.png\r\n"), 4],
    ["only empty lines", () => write("RUVI.FileList.Manifest", "\r\n\n\r\n"), 3],
    ["no manifest", () => fs.rmSync(path.join(installDir, "RUVI.FileList.Manifest")), 2],
  ];
  for (const [name, arrange, code] of states) {
    arrange();
    assert.deepEqual(await ask(page), { path: { result: installPath }, integrity: { result: code } },
                     name);
    if (code === 0) {
      fs.mkdirSync(artifacts, { recursive: true });
      await page.screenshot({ path: path.join(artifacts, "bridge-allowed-page.png") });
    }
  }
  await mustSucceed(reg("delete", recordsKey, "/v", "InstallPath", "/f"), "removing InstallPath");
  assert.deepEqual(await ask(page), { path: { result: "" }, integrity: { result: 1 } },
                   "not installed");
  await page.close();
});

test("a page of another origin is denied, whatever it writes into its request", async () => {
  const page = await openPage(browser, otherOrigin);
  const denied = { error: "denied" };
  assert.deepEqual(await ask(page), { path: denied, integrity: denied });
  await page.screenshot({ path: path.join(artifacts, "bridge-other-origin.png") });
  const forged = await postRaw(page, { ruvi: "request", id: "forged", method: "GetInstallPath",
                                       origin: allowedOrigin, sender: { origin: allowedOrigin } });
  assert.deepEqual(forged, { ruvi: "response", id: "forged", error: "denied" });
  await page.close();
});

test("the extension refuses a method the host does not answer", async () => {
  const page = await openPage(browser, allowedOrigin);
  assert.deepEqual(await postRaw(page, { ruvi: "request", id: 7, method: "AboutBox" }),
                   { ruvi: "response", id: 7, error: "bad-request" });
  await page.close();
});

test("with the host unregistered, the extension answers unavailable", async () => {
  fs.rmSync(hostManifestInProfile);
  const page = await openPage(browser, allowedOrigin);
  const unavailable = { error: "unavailable" };
  assert.deepEqual(await ask(page), { path: unavailable, integrity: unavailable });
  await page.close();

  await mustSucceed(wine(hostProgram, "/unregister"), "/unregister");
  assert.equal(fs.existsSync(path.join(hostDir, "com.tarvano.ruvi.json")), false);
  for (const key of browserHostKeys) {
    assert.notEqual((await reg("query", key, "/ve")).code, 0, key);
  }
});

test("a registration that cannot be completed is refused and leaves nothing", async () => {
  fs.mkdirSync(path.join(hostDir, "com.tarvano.ruvi.json"));  // in the manifest's way
  const refused = await wine(hostProgram, "/register");
  fs.rmdirSync(path.join(hostDir, "com.tarvano.ruvi.json"));
  assert.equal(refused.code, 1);
  assert.match(refused.stderr, /^RUVIBridge: cannot write .*com\.tarvano\.ruvi\.json/m);
  for (const key of browserHostKeys) {
    assert.notEqual((await reg("query", key, "/ve")).code, 0, key);
  }
  const unknown = await wine(hostProgram, "/install");
  assert.equal(unknown.code, 1);
  assert.match(unknown.stderr, /unknown switch \/install/);
});

test("a page in a browser without the extension is told unavailable after 3 s", async () => {
  const plain = await launchBrowser(path.join(work, "plain-profile"), false);
  try {
    const page = await openPage(plain, allowedOrigin);
    const started = Date.now();
    const unavailable = { error: "unavailable" };
    assert.deepEqual(await ask(page), { path: unavailable, integrity: unavailable });
    assert.ok(Date.now() - started >= 2900, "rejected before the 3 s were over");
  } finally {
    await plain.close();
  }
});

// Chromium cannot create ActiveX controls: the old engine's branch of the
// script runs here against a stand-in for the page and the control.
test("in the old engine, the script asks the control embedded in the page", async () => {
  const embedded = [];
  const control = {
    object: {},
    GetInstallPath: () => "C:\\Program Files\\Tarvano\\RUVI\\",
    CheckIntegrity: () => { throw Object.assign(new Error("denied"), { number: -2147024891 }); },
    setAttribute(name, value) { this[name] = value; },
  };
  const window = {
    ActiveXObject: function ActiveXObject() {},
    addEventListener() {},
    postMessage() { throw new Error("asked the extension"); },
    location: { origin: "https://www.example.com" },
  };
  const document = {
    createElement: () => control,
    body: { appendChild: (element) => embedded.push(element) },
  };
  const context = vm.createContext({ window, document, Promise, Error, Object, Math, String });
  vm.runInContext(fs.readFileSync(path.join(root, "bridge/page/ruvi-bridge.js"), "utf8"), context);

  assert.equal(await window.RUVI.getInstallPath(), "C:\\Program Files\\Tarvano\\RUVI\\");
  await assert.rejects(window.RUVI.checkIntegrity(), { message: "denied" });
  assert.deepEqual(embedded, [control]);
  assert.equal(control.classid, "clsid:64A8E836-CA7B-4646-8CCD-81CE23BDC3D1");
});
