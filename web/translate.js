// The page in its user's language. The texts come from `tavufeCatalogue`, which the build
// makes from the window's .ts files, so that the window and the page speak from one source;
// a text the catalogue lacks shows in English. The language is the one chosen on the page
// (kept in local storage), else the first of the browser's the page has, else English.
// Hex digits, addresses, file names and what a file holds are never translated.

const tavufeLanguages = [
  ["de", "Deutsch"], ["en", "English"], ["es", "Español"], ["pl", "Polski"],
  ["pt_BR", "Português (Brasil)"], ["ru", "Русский"],
];
const kLanguageStorageKey = "tavufe.language";
const kPageContext = "page";
const kSystemContext = "tavufe::SystemTexts";
let tavufeLanguage = "en";

// Which of a text's plural forms a count takes, in the order Qt's catalogues list them.
function pluralForm(language, n) {
  const tens = n % 10;
  const hundreds = n % 100;
  switch (language) {
    case "ru":
      return tens === 1 && hundreds !== 11 ? 0
        : tens >= 2 && tens <= 4 && (hundreds < 12 || hundreds > 14) ? 1 : 2;
    case "pl":
      return n === 1 ? 0 : tens >= 2 && tens <= 4 && (hundreds < 12 || hundreds > 14) ? 1 : 2;
    case "pt_BR":
      return n <= 1 ? 0 : 1;
    default:
      return n === 1 ? 0 : 1;
  }
}

function translate(context, text, n) {
  const table = tavufeCatalogue[tavufeLanguage] || {};
  let found = table[context + "\u0004" + text];
  if (Array.isArray(found)) found = found[Math.min(pluralForm(tavufeLanguage, n), found.length - 1)];
  return (found || text).replace(/%n/g, String(n));
}

// The page's own texts; a text with %n gives its count as the third argument, as in Qt.
function qsTr(text, disambiguation, n) {
  return translate(kPageContext, text, n);
}

// %1, %2 ... of a translated text, each replaced once, whatever the value holds.
function fillIn(text, ...values) {
  return text.replace(/%([1-9])/g, (whole, k) => (k <= values.length ? String(values[k - 1]) : whole));
}

// A status or notice text, or a grid heading, as the module gives it in English.
function systemText(text) {
  return text ? translate(kSystemContext, text) : text;
}

// A report line with its label and the module's own values translated, as the window has it;
// `texts` are the module's (Module.reportTexts()).
function reportLine(texts, index, line) {
  const label = texts.labels[index];
  if (!label || !line.startsWith(label)) return line;
  let value = line.slice(label.length);
  const bytes = texts.bytes;
  // The header's own texts (the lines before the platform's) are the file's.
  if (index >= texts.platformLine && value === texts.notFound) value = systemText(value);
  else if (index === texts.platformLine && value === texts.unknown) value = systemText(value);
  else if (index === texts.fileLine && value.endsWith(bytes)) {
    value = value.slice(0, -bytes.length) + systemText(bytes);
  }
  return systemText(label) + value;
}

// The language to show: the stored choice, else the browser's first the page has ("pt-PT"
// finds Brazil's), else English.
function pickLanguage(chosen, preferred) {
  const codes = tavufeLanguages.map(([code]) => code);
  const match = (tag) => {
    const wanted = String(tag || "").replace("-", "_").toLowerCase();
    return codes.find((c) => c.toLowerCase() === wanted) ||
      codes.find((c) => c.split("_")[0] === wanted.split("_")[0]);
  };
  for (const tag of [chosen, ...preferred]) {
    const code = tag && match(tag);
    if (code) return code;
  }
  return "en";
}

function storedLanguage() {
  try {
    return localStorage.getItem(kLanguageStorageKey);
  } catch (e) {
    return null;  // storage refused, as for a page opened from disk in some browsers
  }
}

function storeLanguage(code) {
  try {
    localStorage.setItem(kLanguageStorageKey, code);
  } catch (e) {
    // Not remembered; the page still shows the language chosen.
  }
}

// Sets the page's language and its marked texts: an element marked data-tr shows its text,
// one marked data-tr-label its aria-label, translated from the English the page was built with.
function showLanguage(code) {
  tavufeLanguage = tavufeCatalogue[code] || code === "en" ? code : "en";
  document.documentElement.lang = tavufeLanguage.replace("_", "-");
  for (const element of document.querySelectorAll("[data-tr]")) {
    if (element.dataset.trSource === undefined) {
      element.dataset.trSource = element.textContent.trim().replace(/\s+/g, " ");
    }
    element.textContent = qsTr(element.dataset.trSource);
  }
  for (const element of document.querySelectorAll("[data-tr-label]")) {
    if (!element.dataset.trLabel) {
      element.dataset.trLabel = element.getAttribute("aria-label").trim().replace(/\s+/g, " ");
    }
    element.setAttribute("aria-label", qsTr(element.dataset.trLabel));
  }
}

// The page speaks its language from the first moment, before the module has started.
showLanguage(pickLanguage(storedLanguage(), navigator.languages || [navigator.language]));
document.getElementById("status").textContent = qsTr("Loading...");

// The selector: every language in its own name; a choice is shown at once and remembered.
// `changed` redraws what the page made from the module's texts.
function startLanguages(select, changed) {
  select.replaceChildren(...tavufeLanguages.map(([code, name]) => {
    const option = document.createElement("option");
    option.value = code;
    option.textContent = name;
    option.lang = code.replace("_", "-");
    return option;
  }));
  select.value = tavufeLanguage;
  select.addEventListener("change", () => {
    storeLanguage(select.value);
    showLanguage(select.value);
    changed();
  });
}
