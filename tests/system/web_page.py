# Uses the web page in headless Chromium as a person and a screen reader would.
#
# Run: web_page.py SITE file|http. Opens SITE/index.html from disk or from a local server and checks
# in rows: layout, colours and fonts against the layout table; the 36 parent pairs by clicks; keys
# and focus; the answer's meaning on hover, focus and touch; the accessibility tree's names, roles,
# disabled states, descriptions and live regions; a phone's narrow viewport at device scale 2; over
# http, a reload with the server gone; no console message.

import http.server
import io
import json
import os
import pathlib
import re
import sys
import threading

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains

from waiting import fail, wait_for

ROOT = pathlib.Path(__file__).resolve().parents[2]
TABLE = (ROOT / "genetics/genotype_table.h").read_text()
CODES = re.findall(r'"([^"]+)"', TABLE.split("GenotypeCode =")[1])[:6]
ANSWERS = re.findall(r'"([^"]+)"', TABLE.split("OffspringTable =")[1])[:36]
LAYOUT = (ROOT / "common/layout.h").read_text()
FONTS = re.findall(r'\{"([^"]+)", ([\d.]+), (\d+), \d+, "([^"]+)"\}', LAYOUT)
# The 19 controls' rectangles and font keys in the layout table's order, the labels' text and
# background colours (None where none is designed).
CONTROLS = re.findall(r"\{(\d+), (\d+), (\d+), (\d+)\}, [^,]+, FontKey::(\w)", LAYOUT)
LABEL_COLOURS = re.findall(
    r"FontKey::\w,\s*" + 2 * r"(?:Rgb\{(\d+), (\d+), (\d+)\}|\{\}),\s*", LAYOUT)
KEYS = {9: "Tab", 13: "Enter", 27: "Escape", 32: " ", 37: "ArrowLeft", 39: "ArrowRight"}
TAB, RETURN, ESCAPE, SPACE, LEFT, RIGHT = KEYS
TIP_2A0_3B0 = ("4-AB  25 %\n2-A0  25 %\n3-B0  25 %\n1-00  25 %\nBlood group O 25 %, A 25 %, "
               "B 25 %, AB 25 %\nmother \\ father:  B  0\nA:  4-AB  2-A0\n0:  3-B0  1-00")


def pixels(twips):  # as layout::ToPixels at 96 dots per inch
    return (int(twips) * 96 + 720) // 1440


class Page:
    def __init__(self, url, site):
        options = webdriver.ChromeOptions()
        for argument in ("--headless=new", "--no-sandbox", "--window-size=800,600"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.url, self.site = url, site
        self.driver = webdriver.Chrome(options=options, service=Service("/usr/bin/chromedriver"))
        self.cdp, self.js = self.driver.execute_cdp_cmd, self.driver.execute_script

    def open(self, *clicks):
        self.driver.get(self.url)
        self.js("return document.fonts.ready.then(() => true)")
        for id_ in clicks:
            self.mouse(id_, "click")

    def state(self):
        # Each control by id: place in the form, colours, font, disabled.
        return {c[0]: c[1:] for c in self.js(
            "var f = Form1.getBoundingClientRect(); return [...document.querySelectorAll('#Form1 >"
            " :not(#tip)')].map(e => { var r = e.getBoundingClientRect(), s = getComputedStyle(e);"
            " return [e.id, [r.x - f.x, r.y - f.y, r.width, r.height], s.color, s.backgroundColor,"
            " s.fontFamily, s.fontSize, s.fontWeight, e.disabled]; })")}

    def now(self):
        # The parents and answer labels, the focus, the answer's meaning if it shows, and how many
        # genotype buttons are enabled.
        return self.js("return [Label6.textContent, Label4.textContent, document.activeElement.id,"
                       "tip.checkVisibility() ? tip.textContent : null,"
                       "document.querySelectorAll('button[id*=_]:enabled').length]")

    def mouse(self, id_, *actions):
        chain = ActionChains(self.driver).move_to_element(self.driver.find_element("id", id_))
        for action in actions:
            getattr(chain, action)()
        chain.perform()

    def key(self, code, repeats=0, shift=False):
        # Presses a key on the focused element, holds it while it repeats, and lets it go.
        text = {RETURN: "\r", SPACE: " "}.get(code, "")
        event = {"key": KEYS[code], "code": KEYS[code].strip() or "Space", "text": text,
                 "windowsVirtualKeyCode": code, "modifiers": 8 if shift else 0}
        for repeat in range(repeats + 1):
            self.cdp("Input.dispatchKeyEvent", {"type": "keyDown" if text else "rawKeyDown",
                                                "autoRepeat": repeat > 0, **event})
        self.cdp("Input.dispatchKeyEvent", {"type": "keyUp", **event})

    def expect(self, what, found, wanted):
        if found != wanted:
            fail(f"{what}: {found!r}, not {wanted!r}")


def layout(page):
    page.open()
    state = page.state()
    page.expect("form", page.js(
        "var r = Form1.getBoundingClientRect(); return [r.width, r.height, r.x * 2 + r.width - "
        "innerWidth, r.y * 2 + r.height - innerHeight, getComputedStyle(Form1).backgroundColor,"
        "document.title, [...document.querySelectorAll('link[rel=icon], link[rel=manifest]')]"
        ".map(l => l.getAttribute('href')), [...document.fonts].map(f => f.family + f.status)]"),
                [pixels(5055), pixels(3255), 0, 0, "rgb(192, 192, 0)", "Ambrelith",
                 ["heart16.png", "heart32.png"] + ["manifest.webmanifest"] * (page.url[0] == "h"),
                 [f"{s}loaded" for s in dict.fromkeys(f[3] for f in FONTS)]])
    ordered = [state[i] for i in [f"Command{r}_{i}" for r in (1, 2) for i in range(1, 7)] + [
        "Command3"] + [f"Label{i}" for i in range(1, 7)]]
    for found, (*rect, key) in zip(ordered, CONTROLS):
        face, points, weight, substitute = FONTS[ord(key) - ord("A")]
        page.expect(rect, [found[0], found[3].replace('"', "")] + found[4:6], [[pixels(
            t) for t in rect], f"{face}, {substitute}", f"{float(points) / .75:g}px", weight])
    # Each designed colour, and the system's where none is designed; a disabled button greyed.
    page.expect("label colours, greyed father", [[
        "rgb({}, {}, {})".format(*c[i:i + 3]) if c[i] else s[1 + i // 3] for i in (0, 3)]
        for c, s in zip(LABEL_COLOURS, ordered[13:])] + [
        state["Command2_1"][1] != state["Command1_1"][1]], [s[1:3] for s in ordered[13:]] + [True])
    restart = [state["Command3"][2]] + [page.mouse("Command3", action) or page.state()[
        "Command3"][2] for action in ("click_and_hold", "release")]  # pressed, let go
    page.open("Command1_3", "Command2_5")
    page.expect("RESTART in every state", restart + [page.state()["Command3"][2]],
                ["rgb(0, 192, 0)"] * 4)
    # The heart at each size the page and the web app name, and the manifest.
    manifest = json.loads((page.site / "manifest.webmanifest").read_text())
    page.expect("icons, manifest", [Image.open(page.site / f"heart{n}.png").size for n in (
        16, 32, 192, 512)] + [manifest[k] for k in ("name", "theme_color", "background_color")] + [
        (i["src"], i["sizes"]) for i in manifest["icons"]], [(n, n) for n in (16, 32, 192, 512)] + [
        "Ambrelith", "#c0c000", "#c0c000"] + [(f"heart{n}.png", f"{n}x{n}") for n in (192, 512)])


def pairs(page):
    page.open("Command2_3")  # disabled: nothing happens
    page.mouse("Label4")  # no answer: nothing to show
    found = [page.now()]
    for m in range(36):
        for id_ in (f"Command1_{m // 6 + 1}", f"Command2_{m % 6 + 1}", "Command3"):
            page.mouse(id_, "click")
            found.append(page.now())
    start = ["", "", "Command1_1", None, 6]
    page.expect("36 pairs", found, [start] + [step for m in range(36) for step in (
        [f"({CODES[m // 6]})+", "", "Command2_1", None, 6],
        [f"({CODES[m // 6]})+({CODES[m % 6]})", ANSWERS[m], "Command3", None, 0], start)])


def keys(page):
    # Tab, Shift+Tab and the arrows, then Return and Space each held over a repeat (one pick
    # each), Tab on to the answer, Escape, and back to RESTART for Return.
    page.open()
    found = [page.now()]
    for code, repeats, shift in [(TAB, 0, 0)] * 6 + [(TAB, 0, 1), (RIGHT, 0, 0), (RIGHT, 0, 0), (
            LEFT, 0, 0), (RIGHT, 0, 0), (RETURN, 1, 0), (SPACE, 1, 0), (TAB, 0, 0), (ESCAPE, 0, 0),
                                                     (TAB, 0, 1), (RETURN, 0, 0)]:
        page.key(code, repeats, shift)
        found.append(page.now())
    answer, tip = ["(1-00)+(1-00)", ANSWERS[0]], ("1-00  100 %\nBlood group O 100 %\nmother \\ "
                                                  "father:  0  0\n0:  1-00  1-00\n0:  1-00  1-00")
    page.expect("keys and focus", [n[2] for n in found[:12]] + found[12:], [
        f"Command1_{i}" for i in range(1, 7)] + ["Command3", "Command1_6", "Command3", "Command1_1",
                                                 "Command3", "Command1_1"] + [
        ["(1-00)+", "", "Command2_1", None, 6], answer + ["Command3", None, 0],
        answer + ["Label4", tip, 0], answer + ["Label4", None, 0], answer + ["Command3", None, 0],
        ["", "", "Command1_1", None, 6]])


def meaning(page):
    page.open("Command1_3", "Command2_5")
    page.mouse("Label4")
    found = [page.now()[3]]
    x, y = page.js("var r = Label4.getBoundingClientRect(); return [r.x + 9, r.y + 9]")
    for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
        page.cdp("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})
    page.expect("tooltip on hover, after a tap", found + page.now()[2:4],
                [TIP_2A0_3B0, "Label4", TIP_2A0_3B0])


def access(page):
    def tree():
        # Role, name, description, live region, its text, and disabled, of each node.
        nodes = page.cdp("Accessibility.getFullAXTree", {})["nodes"]
        value = lambda node, key: node.get(key, {}).get("value")  # noqa: E731
        state = lambda node, key: {p["name"]: p["value"]["value"] for p in node.get(  # noqa: E731
            "properties", [])}.get(key, 0)
        texts = {n["nodeId"]: value(n, "name") for n in nodes if value(n, "role") == "StaticText"}
        return [(value(n, "role"), value(n, "name"), value(n, "description"), state(n, "live"),
                 "".join(texts.get(c, "") for c in n.get("childIds", [])), state(n, "disabled"))
                for n in nodes]

    page.open()
    nodes = [n for n in tree() if n[0] in ("main", "button")]
    found = [[(n[1], n[5]) for n in nodes[1:]], nodes[0][1:3], nodes[3][2], nodes[7][2]]
    page.open("Command1_3")
    said = tree()
    found += [[n[2] for n in said if n[0] == "button"][6]] + [n[3:5] for n in said if n[3]]
    page.mouse("Command2_5", "click")
    said = tree()
    found += [n[2][:79] for n in said if n[:2] == ("button", "RESTART")] + [
        (n[4], n[2][:49]) for n in said if n[3]]
    page.expect("accessibility tree", found, [
        [(c, 0) for c in CODES] + [(c, True) for c in CODES] + [("RESTART", 0)],
        ("Ambrelith", "Pick the mother's genotype, then the father's, to hear which ABO "
         "blood-group genotypes their child can have"), "Mother, group A, alleles A and 0",
        "Father, group O, alleles 0 and 0", "Mother 2-A0 is taken, group A, alleles A and 0; now "
        "the father. Father, group O, alleles 0 and 0", ("polite", "(2-A0)+"), ("polite", ""),
        "Mother 2-A0 and father 3-B0: the child can have 4-AB, group AB, alleles A and B",
        ("(2-A0)+(3-B0)", "The mother's and the father's genotypes"),
        (ANSWERS[16], "The genotypes the child can have. 4-AB, group AB,")])


def narrow(page):
    # A phone held upright, 360 and 300 pixels wide, at device scale 2: the form fits, centred,
    # with no sideways scrolling, its lines two device pixels wide and as sharp.
    found = []
    for width in (360, 300):
        page.cdp("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": 640, "deviceScaleFactor": 2, "mobile": True})
        page.open()
        found += [round(v) for v in page.js(
            "var r = Form1.getBoundingClientRect(), b = Command2_6.getBoundingClientRect();"
            "return [r.x, r.width, b.right - r.x, document.body.scrollWidth]")]
    shot = Image.open(io.BytesIO(page.driver.get_screenshot_as_png())).convert("RGB")
    x, y = (round(v * 2) for v in page.js(
        "var r = Label6.getBoundingClientRect(); return [r.x, r.y + r.height / 2]"))
    row = [shot.getpixel((x + i, y)) for i in range(-3, 5)]
    page.expect("narrow", found + [shot.width, set(row), row.count((0, 0, 0))],
                [12, 337, 337, 360, 0, 300, 300, 300, 600,
                 {(192, 192, 0), (0, 0, 0), (0, 192, 192)}, 2])


def offline(page, server):
    page.open()
    wait_for("the service worker", lambda: page.js("return navigator.serviceWorker.controller "
                                                   "&& caches.match('index.html').then(Boolean)"))
    server.shutdown()
    server.server_close()
    page.open("Command1_3", "Command2_5")
    page.expect("offline", [page.now()[:2], page.js(
        "return [document.title, performance.getEntriesByType('navigation')[0]"
        ".workerFinalSourceType, [...document.fonts].every(f => f.status == 'loaded')]")],
                [["(2-A0)+(3-B0)", ANSWERS[16]], ["Ambrelith", "cache", True]])


def main():
    site = pathlib.Path(sys.argv[1]).resolve()
    # A quiet server that lets the browser keep nothing: offline, only the service worker has it.
    base = http.server.SimpleHTTPRequestHandler
    quiet = type("Quiet", (base,), {"log_message": lambda *args: None, "end_headers": lambda self: (
        self.send_header("Cache-Control", "no-store"), base.end_headers(self))})
    os.chdir(site)  # what the server serves
    server = sys.argv[2] == "http" and http.server.ThreadingHTTPServer(("127.0.0.1", 0), quiet)
    if server:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    page = Page(f"http://127.0.0.1:{server.server_port}/" if server
                else (site / "index.html").as_uri(), site)
    try:
        for row in (layout, pairs, keys, meaning, access, narrow):
            row(page)
        if server:
            offline(page, server)
        page.expect("console", page.driver.get_log("browser"), [])
    finally:
        page.driver.quit()
    print("web page from", sys.argv[2], "ok")


main()
