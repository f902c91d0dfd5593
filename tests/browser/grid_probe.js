(function () {
  // Noncharacters are never assigned, so no font holds them: every one is drawn as the same box.
  const missingSample = String.fromCodePoint(0xfdd0);
  function pixels(text, font) {
    const canvas = document.createElement("canvas");
    canvas.width = 64; canvas.height = 64;
    const context = canvas.getContext("2d");
    context.font = font;
    context.textBaseline = "middle";
    context.fillText(text, 8, 32);
    return Array.from(context.getImageData(0, 0, 64, 64).data).join(",");
  }
  function fontOf(element) {
    const style = getComputedStyle(element);
    return style.fontStyle + " " + style.fontWeight + " 40px " + style.fontFamily;
  }
  const report = {labels: [], symbols: [], glyphs: [], control: null};
  const labelled = document.querySelectorAll("#aspect-grid thead th, #aspect-grid td.point");
  for (const element of labelled) {
    const font = fontOf(element);
    const missing = pixels(missingSample, font);
    const label = element.firstChild && element.firstChild.nodeType === 3 ? element.firstChild.data : "";
    for (const character of label) {
      report.labels.push({character: character, missing: pixels(character, font) === missing});
    }
  }
  const controlFont = fontOf(document.body);
  report.control = pixels("\ufdd1", controlFont) === pixels(missingSample, controlFont);
  for (const use of document.querySelectorAll("use")) {
    const box = use.getBBox();
    const id = (use.getAttribute("href") || "").slice(1);
    report.symbols.push({id: id, defined: document.getElementById(id) !== null,
                         width: box.width, height: box.height});
  }
  // The ink of each point glyph as drawn, in CSS px.
  for (const use of document.querySelectorAll("svg.glyph use")) {
    report.glyphs.push({id: use.getAttribute("href").slice(1),
                        height: use.getBoundingClientRect().height});
  }
  // The smallest text of the grid and its legend, and how wide the page lays out.
  const sizes = [];
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    if (node.data.trim() && node.parentElement.closest(".grid-box, .legend")) {
      sizes.push(parseFloat(getComputedStyle(node.parentElement).fontSize));
    }
  }
  report.smallestText = Math.min(...sizes);
  report.viewportWidth = window.innerWidth;
  report.pageWidth = document.documentElement.scrollWidth;
  // A touch, as focus: the aspect's text shows while it is focused, and only then.
  const aspect = document.querySelector(".aspect");
  if (aspect) {
    const before = getComputedStyle(aspect, "::after").content;
    aspect.focus();
    const shown = getComputedStyle(aspect, "::after");
    report.focus = {title: aspect.title, before: before, after: shown.content,
                    display: shown.display, focused: document.activeElement === aspect};
  }
  const out = document.createElement("pre");
  out.id = "grid-check";
  out.textContent = JSON.stringify(report);
  document.body.appendChild(out);
})();
