# SPDX-FileCopyrightText: 2026 Tavelk authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Headless Chromium on build-web/tavelk.html, opened from file:// with the
network refused, read the way a screen reader reads it: through the
browser's accessibility tree (Accessibility.getFullAXTree). Clicks are real
pointer events at the middle of the place the browser gives for a control."""

import base64
import shutil
import tempfile
import time
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput


class Failure(Exception):
    pass


class Browser:
    def __init__(self, page, width=1366, height=768, scale=1, touch=False):
        self.page = page
        self.touch = touch
        self.profile = tempfile.mkdtemp(prefix="tavelk-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--mute-audio",
                     f"--user-data-dir={self.profile}", f"--window-size={width},{height}"):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.cdp("Network.enable", {})
        self.cdp("Network.emulateNetworkConditions",
                 {"offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
        self.cdp("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": height, "deviceScaleFactor": scale, "mobile": touch})
        if touch:
            self.cdp("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        self.cdp("Accessibility.enable", {})
        self.url = Path(page).resolve().as_uri()
        self.driver.get(self.url)

    def close(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def before_load(self, script):
        """Reloads the page with the script run before any of its own."""
        self.cdp("Page.addScriptToEvaluateOnNewDocument", {"source": script})
        self.driver.refresh()

    def cdp(self, command, params=None):
        return self.driver.execute_cdp_cmd(command, params or {})

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def console_errors(self):
        return [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]

    # The page as a screen reader gets it, with each node's element id.
    def tree(self):
        ids = {}
        stack = [self.cdp("DOM.getDocument", {"depth": -1})["root"]]
        while stack:
            node = stack.pop()
            attributes = node.get("attributes", [])
            if "id" in attributes[0::2]:
                ids[node["backendNodeId"]] = attributes[attributes.index("id") + 1]
            stack.extend(node.get("children", []))
        return Tree(self.cdp("Accessibility.getFullAXTree")["nodes"], ids)

    def box(self, node):
        quad = self.cdp("DOM.getBoxModel", {"backendNodeId": node["backendDOMNodeId"]})["model"]["content"]
        xs, ys = quad[0::2], quad[1::2]
        return min(xs), min(ys), max(xs), max(ys)

    def click_node(self, node):
        x0, y0, x1, y1 = self.box(node)
        # On a touch screen a tap: a touch pointer's press and release.
        builder = ActionBuilder(self.driver, mouse=PointerInput(interaction.POINTER_TOUCH, "finger")) if self.touch \
            else ActionBuilder(self.driver)
        builder.pointer_action.move_to_location(int((x0 + x1) / 2), int((y0 + y1) / 2))
        builder.pointer_action.click()
        builder.perform()

    def drag(self, element_id, dx, dy):
        """Presses on the element's middle, moves by (dx, dy) CSS pixels and lets go."""
        x, y = self.js("const r = document.getElementById(arguments[0]).getBoundingClientRect();"
                       "return [Math.round(r.x + r.width / 2), Math.round(r.y + r.height / 2)];", element_id)
        builder = ActionBuilder(self.driver, mouse=PointerInput(interaction.POINTER_TOUCH, "finger")) if self.touch \
            else ActionBuilder(self.driver)
        builder.pointer_action.move_to_location(x, y).pointer_down()
        builder.pointer_action.move_to_location(x + dx // 2, y + dy // 2).move_to_location(x + dx, y + dy).pointer_up()
        builder.perform()

    def keys(self, *keys):
        chain = ActionChains(self.driver)
        for k in keys:
            # A modifier held down over the key after it.
            if len(k) == 2 and k[0] in (Keys.SHIFT, Keys.ALT, Keys.CONTROL):
                chain.key_down(k[0]).send_keys(k[1]).key_up(k[0])
            else:
                chain.send_keys(k)
        chain.perform()

    def screenshot(self, path):
        self.driver.save_screenshot(str(path))

    def element_png(self, element_id):
        """The element as drawn, through its transforms, at the device's pixels."""
        r = self.js("const r = document.getElementById(arguments[0]).getBoundingClientRect();"
                    "return [r.x, r.y, r.width, r.height];", element_id)
        clip = {"x": r[0], "y": r[1], "width": r[2], "height": r[3], "scale": 1}
        return base64.b64decode(self.cdp("Page.captureScreenshot", {"format": "png", "clip": clip})["data"])


class Tree:
    """The accessibility tree: windows, their buttons, values, the card, the focus."""

    def __init__(self, nodes, ids):
        self.nodes = [n for n in nodes if not n.get("ignored")]
        self.by_id = {n["nodeId"]: n for n in nodes}
        self.by_element = {ids[n["backendDOMNodeId"]]: n for n in self.nodes if n.get("backendDOMNodeId") in ids}

    def element(self, element_id):
        return self.by_element.get(element_id)

    @staticmethod
    def role(node):
        return node.get("role", {}).get("value")

    @staticmethod
    def name(node):
        return node.get("name", {}).get("value", "")

    @staticmethod
    def prop(node, key):
        for p in node.get("properties", []):
            if p["name"] == key:
                return p["value"].get("value")
        return None

    def descendants(self, node):
        for child in node.get("childIds", []):
            c = self.by_id.get(child)
            if c is None:
                continue
            yield c
            yield from self.descendants(c)

    def text(self, node):
        return "".join(self.name(n) for n in self.descendants(node) if self.role(n) == "StaticText" and not n.get("ignored"))

    def find(self, role, name=None, within=None):
        pool = list(self.descendants(within)) if within else self.nodes
        return [n for n in pool if self.role(n) == role and (name is None or self.name(n) == name)
                and not n.get("ignored")]

    def one(self, role, name=None, within=None):
        found = self.find(role, name, within)
        if len(found) != 1:
            raise Failure(f"expected one {role} {name!r}, found {len(found)}")
        return found[0]

    def windows(self):
        return {self.name(n).strip(): n for n in self.find("region")}

    def focused(self):
        found = [n for n in self.nodes if self.prop(n, "focused") and self.role(n) != "RootWebArea"]
        return found[0] if found else None
