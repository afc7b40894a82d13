"""Uses the web page in headless Chromium as a person and a screen reader would.

Run: web_page.py SITE file|http [SHOTS]. Opens SITE/index.html from disk or from a local server,
and checks in rows: the layout, colours and fonts against the layout table; the 36 parent pairs
by clicks; the keys and the focus; the answer's meaning on hover, focus and touch; what the
accessibility tree says: names, roles, disabled states, descriptions and live regions; a narrow
viewport, and device scale 2; over http, a reload with the server gone; and not one console
message. SHOTS names a folder for screenshots of the page.
"""

import functools
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
from selenium.webdriver.common.keys import Keys

from waiting import fail, wait_for

ROOT = pathlib.Path(__file__).resolve().parents[2]
TABLE = (ROOT / "genetics/genotype_table.h").read_text()
CODES = re.findall(r'"([^"]+)"', TABLE.split("GenotypeCode =")[1])[:6]
ANSWERS = re.findall(r'"([^"]+)"', TABLE.split("OffspringTable =")[1])[:36]
LAYOUT = (ROOT / "common/layout.h").read_text()
FONTS = re.findall(r'\{"([^"]+)", ([\d.]+), (\d+), \d+, "([^"]+)"\}', LAYOUT)
# The 19 controls' rectangles and font keys as the layout table lists them, then the labels'
# text and background colours; a colour that is not designed is None.
CONTROLS = re.findall(r"\{(\d+), (\d+), (\d+), (\d+)\}, [^,]+, FontKey::(\w)", LAYOUT)
RGB = r"(?:Rgb\{(\d+), (\d+), (\d+)\}|\{\})"
LABEL_COLOURS = re.findall(r"FontKey::\w,\s*" + RGB + r",\s*" + RGB, LAYOUT)
IDS = ([f"Command{row}_{i}" for row in (1, 2) for i in range(1, 7)] + ["Command3"]
       + [f"Label{i}" for i in range(1, 7)])
KEYS = {"Enter": {"key": "Enter", "code": "Enter", "windowsVirtualKeyCode": 13, "text": "\r"},
        "Space": {"key": " ", "code": "Space", "windowsVirtualKeyCode": 32, "text": " "}}
# What the answer's tooltip shows for mother 2-A0 and father 3-B0.
TIP_2A0_3B0 = ("4-AB  25 %\n2-A0  25 %\n3-B0  25 %\n1-00  25 %\n"
               "Blood group O 25 %, A 25 %, B 25 %, AB 25 %\n"
               "mother \\ father:  B  0\nA:  4-AB  2-A0\n0:  3-B0  1-00")


def pixels(twips):
    return (int(twips) * 96 + 720) // 1440


def families(*names):
    return ", ".join(f'"{n}"' if " " in n else n for n in names)


def rgb(groups):
    return f"rgb({groups[0]}, {groups[1]}, {groups[2]})" if groups[0] else None


class Page:
    def __init__(self, url):
        options = webdriver.ChromeOptions()
        for argument in ("--headless=new", "--no-sandbox", "--window-size=800,600"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.url = url
        self.driver = webdriver.Chrome(options=options, service=Service("/usr/bin/chromedriver"))
        self.cdp = self.driver.execute_cdp_cmd
        self.js = self.driver.execute_script

    def open(self):
        self.driver.get(self.url)
        self.js("return document.fonts.ready.then(() => true)")

    def state(self):
        """Each control by id: place in the form, colours, font, disabled, text."""
        return {c[0]: c[1:] for c in self.js("""
            var form = document.getElementById("Form1").getBoundingClientRect();
            return [...document.querySelectorAll("#Form1 > :not(#tip)")].map(e => {
                var r = e.getBoundingClientRect(), s = getComputedStyle(e);
                return [e.id, [r.x - form.x, r.y - form.y, r.width, r.height], s.color,
                        s.backgroundColor, s.fontFamily, s.fontSize, s.fontWeight, e.disabled,
                        e.textContent];
            })""")}

    def focused(self):
        return self.js("return document.activeElement.id")

    def click(self, id_):
        self.driver.find_element("id", id_).click()

    def key(self, name, held=1):
        """Presses a key on the focused element, repeating while held, and lets it go."""
        for repeat in range(held):
            self.cdp("Input.dispatchKeyEvent", {"type": "keyDown", "autoRepeat": repeat > 0,
                                                **KEYS[name]})
        self.cdp("Input.dispatchKeyEvent", {"type": "keyUp", **KEYS[name]})

    def press(self, key):
        """Types a key; Shift is Shift+Tab."""
        chain = ActionChains(self.driver)
        if key == Keys.SHIFT:
            chain.key_down(key).send_keys(Keys.TAB).key_up(key).perform()
        else:
            chain.send_keys(key).perform()

    def labels(self):
        state = self.state()
        return state["Label6"][-1], state["Label4"][-1]

    def tip(self):
        return self.js("var t = document.getElementById('tip');"
                       "return t.checkVisibility() ? t.textContent : null")

    def expect(self, what, found, wanted):
        if found != wanted:
            fail(f"{what}: {found!r}, not {wanted!r}")


def layout(page):
    page.open()
    form = page.js("var r = document.getElementById('Form1').getBoundingClientRect();"
                   "return [r.x, r.y, r.width, r.height, innerWidth, innerHeight,"
                   "getComputedStyle(Form1).backgroundColor, document.title]")
    x, y, width, height, view_width, view_height = form[:6]
    page.expect("form", [width, height, x, y, form[6], form[7]],
                [pixels(5055), pixels(3255), (view_width - width) / 2, (view_height - height) / 2,
                 rgb(re.search(r"Form1 = .*\{(\d+), (\d+), (\d+)\}\}", LAYOUT).groups()),
                 "Ambrelith"])
    state = page.state()
    for id_, (*rect, key) in zip(IDS, CONTROLS):
        face, points, weight, substitute = FONTS[ord(key) - ord("A")]
        place, _, _, family, size, font_weight = state[id_][:6]
        page.expect(id_, [place, family, size, font_weight],
                    [[pixels(t) for t in rect], families(face, substitute),
                     f"{float(points) * 4 / 3:g}px", weight])
    for i, colours in enumerate(LABEL_COLOURS):
        text, background = rgb(colours[:3]), rgb(colours[3:])
        found = state[f"Label{i + 1}"][1:3]
        page.expect(f"Label{i + 1} colours", [text or found[0], background or found[1]], found)
    # Each face the page names is one it carries, loaded from its own WOFF2 file.
    page.expect("fonts", page.js("return [...document.fonts].map(f => f.family + ' ' + f.status)"),
                [f"{s} loaded" for s in dict.fromkeys(f[3] for f in FONTS)])
    page.expect("disabled father looks greyed", state["Command2_1"][1] != state["Command1_1"][1],
                True)
    restart = []
    for step in (lambda: None, lambda: ActionChains(page.driver).move_to_element(
            page.driver.find_element("id", "Command3")).click_and_hold().perform(),
                 lambda: ActionChains(page.driver).release().perform(),
                 lambda: (page.click("Command1_3"), page.click("Command2_5"))):
        step()
        restart.append(page.state()["Command3"][2])
    page.expect("RESTART in every state", set(restart), {"rgb(0, 192, 0)"})


def icons(page, site, served):
    """The page's icons and the web app's, each the heart's pixel map as drawn or enlarged; the
    manifest, linked where it can be fetched, with the form's colour."""
    manifest = json.loads(pathlib.Path(site, "manifest.webmanifest").read_text())
    links = page.js("return [...document.querySelectorAll('link[rel=icon]')]"
                    ".map(l => [l.getAttribute('href'), l.sizes.value])")
    for href, size in links + [(i["src"], i["sizes"]) for i in manifest["icons"]]:
        side = int(size.split("x")[0])
        rows = (ROOT / f"resources/heart{16 if side == 16 else 32}.txt").read_text().split()
        scale = side // len(rows)
        wanted = [{"R": (255, 0, 0, 255), "g": (128, 128, 128, 255)}.get(
            rows[y // scale][x // scale]) for y in range(side) for x in range(side)]
        drawn = Image.open(pathlib.Path(site, href)).convert("RGBA").getdata()
        page.expect(href, [p if p[3] else None for p in drawn], wanted)
    colour = "#{:02x}{:02x}{:02x}".format(*map(int, re.search(
        r"Form1 = .*\{(\d+), (\d+), (\d+)\}\}", LAYOUT).groups()))
    page.expect("manifest", [manifest["name"], manifest["theme_color"],
                             manifest["background_color"], len(links),
                             page.js("return !!document.querySelector('link[rel=manifest]')")],
                ["Ambrelith", colour, colour, 2, served])


def pairs(page):
    page.open()
    ActionChains(page.driver).click(page.driver.find_element("id", "Command2_3")).perform()
    page.expect("click on a disabled father", [page.labels(), page.focused()],
                [("", ""), "Command1_1"])
    for m in range(6):
        for f in range(6):
            page.click(f"Command1_{m + 1}")
            mothers = f"({CODES[m]})+"
            page.expect("after mother", [page.labels(), page.focused()],
                        [(mothers, ""), "Command2_1"])
            page.click(f"Command2_{f + 1}")
            state = page.state()
            page.expect("after father", [page.labels(), page.focused(),
                                         {s[6] for i, s in state.items()
                                          if i.startswith(("Command1", "Command2"))}],
                        [(f"{mothers}({CODES[f]})", ANSWERS[m * 6 + f]), "Command3", {True}])
            page.click("Command3")
            page.expect("after RESTART", [page.labels(), page.focused()],
                        [("", ""), "Command1_1"])


def keys(page):
    page.open()
    visits = [page.focused()]
    for key in [Keys.TAB] * 6 + [Keys.SHIFT, Keys.RIGHT, Keys.RIGHT, Keys.LEFT]:
        page.press(key)
        visits.append(page.focused())
    page.expect("focus", visits, [f"Command1_{i}" for i in range(1, 7)] +
                ["Command3", "Command1_6", "Command3", "Command1_1", "Command3"])
    page.click("Command3")
    page.key("Enter", held=2)  # on mother 1-00: one pick, however long held
    page.expect("Return held", [page.labels(), page.focused(), page.state()["Command2_2"][6]],
                [("(1-00)+", ""), "Command2_1", False])
    page.key("Space", held=2)
    page.expect("Space held", [page.labels()[1], page.focused()], [ANSWERS[0], "Command3"])
    page.press(Keys.TAB)
    page.expect("Tab to the answer", [page.focused(), bool(page.tip())], ["Label4", True])
    page.press(Keys.ESCAPE)
    page.expect("Escape", page.tip(), None)
    page.press(Keys.SHIFT)
    page.key("Enter")
    page.expect("Return on RESTART", [page.labels(), page.focused()], [("", ""), "Command1_1"])


def meaning(page):
    page.open()
    def hover(id_):
        ActionChains(page.driver).move_to_element(page.driver.find_element("id", id_)).perform()

    hover("Label4")
    page.expect("tooltip without an answer", page.tip(), None)
    page.click("Command1_3")
    page.click("Command2_5")
    hover("Label4")
    page.expect("tooltip on hover", page.tip(), TIP_2A0_3B0)
    inside = page.js("var t = tip.getBoundingClientRect(), f = Form1.getBoundingClientRect();"
                     "return t.top >= f.top && t.right <= f.right")
    page.expect("tooltip inside the form", inside, True)
    if page.shots:
        page.driver.save_screenshot(os.path.join(page.shots, "web-tooltip.png"))
    hover("Label1")
    page.expect("tooltip after the mouse left", page.tip(), None)
    x, y = page.js("var r = Label4.getBoundingClientRect(); return [r.x + 9, r.y + 9]")
    for kind, points in (("touchStart", [{"x": x, "y": y}]), ("touchEnd", [])):
        page.cdp("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})
    page.expect("tooltip after a tap", [page.tip(), page.focused()], [TIP_2A0_3B0, "Label4"])


def access(page):
    """What the accessibility tree gives a screen reader, at start and after each step."""
    def tree():
        nodes = page.cdp("Accessibility.getFullAXTree", {})["nodes"]
        by_id = {n["nodeId"]: n for n in nodes}
        found = []
        for n in nodes:
            properties = {p["name"]: p["value"].get("value") for p in n.get("properties", [])}
            text = "".join(by_id[c].get("name", {}).get("value", "") for c in n.get("childIds", [])
                           if by_id[c]["role"]["value"] == "StaticText")
            found.append((n["role"]["value"], n.get("name", {}).get("value"),
                          n.get("description", {}).get("value"), properties, text))
        return found

    page.open()
    start = tree()
    buttons = [n for n in start if n[0] == "button"]
    page.expect("buttons", [(n[1], n[3].get("disabled", False)) for n in buttons],
                [(c, False) for c in CODES] + [(c, True) for c in CODES] + [("RESTART", False)])
    page.expect("mother 2-A0 described", buttons[2][2], "Mother, group A, alleles A and 0")
    page.expect("the form", [n[:2] for n in start if n[0] == "main"], [("main", "Ambrelith")])
    page.click("Command1_3")
    said = tree()
    page.expect("father 1-00 after the mother", [n[2] for n in said if n[0] == "button"][6],
                "Mother 2-A0 is taken, group A, alleles A and 0; now the father. "
                "Father, group O, alleles 0 and 0")
    page.expect("live regions", [(n[4], n[3]["live"]) for n in said if "live" in n[3]],
                [("(2-A0)+", "polite"), ("", "polite")])
    page.click("Command2_5")
    said = tree()
    restart = [n for n in said if n[1] == "RESTART"][0]
    page.expect("RESTART after the answer", restart[2].startswith(
        "Mother 2-A0 and father 3-B0: the child can have 4-AB, group AB, alleles A and B, 25 %;"),
        True)
    page.expect("live regions", [(n[4], n[2][:49]) for n in said if "live" in n[3]],
                [("(2-A0)+(3-B0)", "The mother's and the father's genotypes"),
                 (ANSWERS[2 * 6 + 4], "The genotypes the child can have. 4-AB, group AB,")])


def narrow(page):
    """A phone held upright, 360 and 300 pixels wide, at device scale 2: the form fits, centred,
    with no sideways scrolling, its lines two device pixels wide and as sharp."""
    for width in (360, 300):
        page.cdp("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": 640, "deviceScaleFactor": 2, "mobile": True})
        page.open()
        found = page.js("var r = Form1.getBoundingClientRect(), b = Command2_6"
                        ".getBoundingClientRect(); return [r.x, r.width, b.right - r.x, "
                        "document.scrollingElement.scrollWidth]")
        form = min(width, pixels(5055))
        page.expect(f"form at {width}", [round(v) for v in found],
                    [round((width - form) / 2), form, form, width])
        if page.shots:
            page.driver.save_screenshot(os.path.join(page.shots, f"web-{width}.png"))
    shot = Image.open(io.BytesIO(page.driver.get_screenshot_as_png())).convert("RGB")
    x, y, w, h = (round(v * 2) for v in page.js(
        "var r = Label6.getBoundingClientRect(); return [r.x, r.y, r.width, r.height]"))
    row = [shot.getpixel((x + i, y + h // 2)) for i in range(-3, 5)]
    page.expect("Label6's left edge at scale 2", [shot.width, set(row), row.count((0, 0, 0))],
                [600, {(192, 192, 0), (0, 0, 0), (0, 192, 192)}, 2])
    page.cdp("Emulation.clearDeviceMetricsOverride", {})


def offline(page, server):
    page.open()
    wait_for("the service worker", lambda: page.js(
        "return navigator.serviceWorker.controller && caches.match('fonts/ComicNeue-Bold.woff2')"
        ".then(Boolean)"))
    server.shutdown()
    server.server_close()
    page.open()
    page.expect("offline page", page.js("return document.title"), "Ambrelith")
    page.click("Command1_3")
    page.click("Command2_5")
    page.expect("offline", [page.labels(), page.js(
        "return [performance.getEntriesByType('navigation')[0].workerStart > 0,"
        "[...document.fonts].every(f => f.status == 'loaded')]")],
                [("(2-A0)+(3-B0)", ANSWERS[2 * 6 + 4]), [True, True]])


class Server(http.server.SimpleHTTPRequestHandler):
    """Quiet, and telling the browser to keep nothing: offline, only the service worker has it."""
    def log_message(self, *args):
        pass

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()


def main():
    site, mode = os.path.abspath(sys.argv[1]), sys.argv[2]
    server = None
    if mode == "http":
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                                 functools.partial(Server, directory=site))
        threading.Thread(target=server.serve_forever, daemon=True).start()
    page = Page(f"http://127.0.0.1:{server.server_port}/" if server
                else pathlib.Path(site, "index.html").as_uri())
    page.shots = sys.argv[3] if len(sys.argv) > 3 else None
    try:
        for row in (layout, pairs, keys, meaning, access, narrow):
            row(page)
        icons(page, site, bool(server))
        if server:
            offline(page, server)
        page.expect("console", page.driver.get_log("browser"), [])
    finally:
        page.driver.quit()
    print("web page from", mode, "ok")


main()
