"""Times the web page against a bare page with one button, in headless Chromium.

web_bench.py SITE [LOADS]: loads SITE/index.html and bench/bare_page.html in turn, LOADS times
each after one warm-up, from file:// and then over http from a local server, and prints the
median time from navigation until the page is interactive: its first button enabled and focused
(for the page, mother 1-00), and until it first paints anything, and text. Over http the page's
service worker answers from the second load on, as for someone coming back; so it does in a round
against the bare page kept offline by the page's own service worker, which then keeps that page
only: what answering from a worker's cache costs any page. One more round bypasses the worker
with the browser's cache off, as on a first visit. Then the site's size, with and without its
fonts, raw and gzipped.
"""

import functools
import gzip
import http.server
import os
import pathlib
import re
import statistics
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

# When the first enabled button takes the focus, and which, in ms from navigation.
WATCH = """
addEventListener("focusin", function(event) {
    var target = event.target;
    if (!window.interactive && target.tagName == "BUTTON" && !target.disabled)
        window.interactive = [performance.now(), target.textContent];
}, true);
"""


def serve(folder):
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                             functools.partial(Quiet, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f"http://127.0.0.1:{server.server_port}/"


def offline_bare(site, bench, folder):
    # The bare page as index.html, registering the page's own service worker, which keeps it only.
    folder = pathlib.Path(folder)
    (folder / "index.html").write_text(
        (pathlib.Path(bench) / "bare_page.html").read_text() + '<script>addEventListener("load", '
        '() => navigator.serviceWorker.register("sw.js"))</script>\n')
    worker, found = re.subn(r"var FILES = \[.*\];", 'var FILES = ["index.html"];',
                            (pathlib.Path(site) / "sw.js").read_text())
    if found != 1:
        sys.exit(f"{site}/sw.js: no list of files to keep")
    (folder / "sw.js").write_text(worker)
    return serve(folder) + "index.html"


def load(driver, url):
    driver.get(url)
    found = driver.execute_async_script("""
        var done = arguments[0];
        new PerformanceObserver(function(list) {
            var paints = performance.getEntriesByType("paint");
            if (paints.length == 2)
                done([window.interactive].concat(paints.map(function(p) { return p.startTime; })));
        }).observe({type: "paint", buffered: true});""")
    if not found[0] or found[0][1] != "1-00":
        sys.exit(f"{url}: no enabled 1-00 button took the focus")
    return found[0][0], found[1], found[2]


def measure(driver, page, bare, loads):
    times = {page: [], bare: []}
    for round_ in range(loads + 1):
        for url in (page, bare):
            found = load(driver, url)
            if round_:
                times[url].append(found)
    (page_ms, *page_paints), (bare_ms, *bare_paints) = [
        [statistics.median(t[i] for t in times[url]) for i in range(3)] for url in (page, bare)]
    # Each load against the bare page's next to it, which shares the machine's load at the time.
    pairs = statistics.median(p[0] / b[0] for p, b in zip(times[page], times[bare]))
    return f"| {page_ms:.1f} ms | {bare_ms:.1f} ms | {page_ms / bare_ms:.2f}x (pairs " \
           f"{pairs:.2f}x) | " + " | ".join(
               f"{p:.0f} / {b:.0f} ms" for p, b in zip(page_paints, bare_paints)) + " |"


def sizes(site):
    files = [f for f in pathlib.Path(site).rglob("*") if f.is_file()]
    rows = []
    for name, chosen in (("index.html", [f for f in files if f.name == "index.html"]),
                         ("site without fonts", [f for f in files if f.suffix != ".woff2"]),
                         ("site with fonts", files)):
        raw = sum(f.stat().st_size for f in chosen)
        packed = sum(len(gzip.compress(f.read_bytes(), 9)) for f in chosen)
        rows.append(f"| {name} | {raw / 1000:.1f} kB | {packed / 1000:.1f} kB |")
    return rows


def main():
    site = os.path.abspath(sys.argv[1])
    loads = int(sys.argv[2]) if len(sys.argv) > 2 else 21
    bench = os.path.dirname(os.path.abspath(__file__))
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--window-size=800,600"):
        options.add_argument(argument)
    driver = webdriver.Chrome(options=options, service=Service("/usr/bin/chromedriver"))
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": WATCH})
    try:
        print(f"Median of {loads} loads each, in ms from navigation\n")
        print("| from | page interactive | bare page | page / bare | first paint, page / bare "
              "| first text, page / bare |")
        print("| --- | --- | --- | --- | --- | --- |")
        print("| file:// " + measure(driver, f"file://{site}/index.html",
                                     f"file://{bench}/bare_page.html", loads))
        page, bare = serve(site), serve(bench) + "bare_page.html"
        print("| http, returning " + measure(driver, page, bare, loads))
        with tempfile.TemporaryDirectory() as folder:
            print("| http, returning, bare page offline too " + measure(
                driver, page, offline_bare(site, bench, folder), loads))
        driver.execute_cdp_cmd("Network.enable", {})
        driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        driver.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})
        print("| http, first visit " + measure(driver, page, bare, loads))
    finally:
        driver.quit()
    print("\n| size | raw | gzip -9 |\n| --- | --- | --- |")
    print("\n".join(sizes(site)))


main()
