#!/usr/bin/env bash
# Checks kezurin-cli --syntax json, css, scss and less against the languages'
# own parsers on real files from Debian packages. For each file: the line
# count must stay and the output must hold no comment; for JSON, JSON.parse
# of the output must equal jsonc-parser's parse of the input; for CSS, SCSS
# and Less, the tokens (postcss's tokenizer for CSS, postcss-scss's for SCSS
# and Less, which share // comments) must be the same, kind and text, with
# comments left out and every run of whitespace taken as one space; Less
# output must also parse with postcss-less and hold no comment node. The
# tools come from npm into the build folder.
# Usage: bench/web_syntax_against_parsers.sh [FILE...]
set -euo pipefail
source "$(dirname "$0")/../tools/lib/common.sh"

ensure_native_toolchain
ensure_packages nodejs
command -v npm >/dev/null || ensure_packages npm
if [ $# -eq 0 ]; then
  # Debian packages that ship JSON, CSS, SCSS and Less files.
  ensure_packages node-eslint node-typescript node-bootstrap libjs-bootstrap fonts-font-awesome \
    python3-xstatic-bootstrap-scss libjs-jquery-ui node-less
fi
say "building kezurin-cli"
cmake_build peers -DCMAKE_BUILD_TYPE=Release -DKEZURIN_BUILD_TESTS=OFF -DKEZURIN_BUILD_BENCHMARKS=OFF
work=$KEZURIN_BUILD/peers
cli=$work/cli/kezurin-cli
parsers=$work/node_parsers
if [ ! -d "$parsers/node_modules/postcss-less" ] || [ ! -d "$parsers/node_modules/jsonc-parser" ]; then
  say "installing jsonc-parser, postcss, postcss-scss and postcss-less from the npm registry"
  mkdir -p "$parsers"
  npm install --prefix "$parsers" --no-audit --no-fund --silent jsonc-parser postcss postcss-scss postcss-less >&2
fi

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  mapfile -t files < <(find /usr/share /usr/lib/python3 -type f \( -name '*.json' -o -name '*.jsonc' -o -name '*.json5' \
    -o -name '*.css' -o -name '*.scss' -o -name '*.less' \) 2>/dev/null | sort)
fi

outputs=$work/web_outputs
rm -rf "$outputs" && mkdir -p "$outputs"
list=$outputs/list.tsv
: >"$list"
number=0
for file in "${files[@]}"; do
  [ -f "$file" ] || continue
  number=$((number + 1))
  output=$outputs/$number.${file##*.}
  # The warning of what a file leaves open goes with the file's line in the list.
  warning=$("$cli" --syntax auto "$file" 2>&1 >"$output" | tr '\t\n' '  ' || true)
  printf '%s\t%s\t%s\n' "$file" "$output" "$warning" >>"$list"
done

cat >"$outputs/compare.js" <<'SCRIPT'
const fs = require("fs");
const path = require("path");
const need = (name) => require(path.join(process.argv[2], "node_modules", name));
const jsonc = need("jsonc-parser");
const Input = need("postcss/lib/input");
const tokenizers = { css: need("postcss/lib/tokenize"), scss: need("postcss-scss/lib/scss-tokenize") };
const less = need("postcss-less");
const util = require("util");

const lines = (text) => text.split("\n").length;
// Kinds and texts; a comment counts as whitespace, and each run of whitespace as one space.
function tokens(text, dialect, out = []) {
  const tokenizer = tokenizers[dialect === "css" ? "css" : "scss"](new Input(text));
  const top = out.length === 0;
  let comments = 0;
  const space = () => out.length > 0 && out[out.length - 1] !== " " && out.push(" ");
  while (!tokenizer.endOfFile()) {
    const [kind, value] = tokenizer.nextToken();
    if (kind === "comment") comments++;
    if (kind === "comment" || kind === "space") {
      space();
    } else if (kind === "brackets") {
      // One token only where no comment stands inside: taken apart here as where one does.
      out.push("(:(");
      tokens(value.slice(1, -1), dialect, out);
      out.push("):)");
    } else {
      out.push(kind + ":" + value);
    }
  }
  if (top && out[out.length - 1] === " ") out.pop();
  return { list: out, comments };
}
function jsonComments(text) {
  const scanner = jsonc.createScanner(text, false);
  let count = 0;
  for (let kind; (kind = scanner.scan()) !== jsonc.SyntaxKind.EOF;) {
    if (kind === jsonc.SyntaxKind.LineCommentTrivia || kind === jsonc.SyntaxKind.BlockCommentTrivia) count++;
  }
  return count;
}
function compareJson(input, output) {
  const errors = [];
  const expected = jsonc.parse(input, errors, { allowTrailingComma: true, allowEmptyContent: true });
  if (errors.length > 0) return { leftOut: "not JSON with comments (" + jsonc.printParseErrorCode(errors[0].error) + ")" };
  if (jsonComments(output) > 0) return { fault: "a comment is left" };
  let parsed;
  try {
    parsed = JSON.parse(output);
  } catch (error) {
    const strictErrors = [];
    parsed = jsonc.parse(output, strictErrors, { disallowComments: true, allowTrailingComma: true });
    if (strictErrors.length > 0) return { fault: "the output does not parse: " + error.message };
    return util.isDeepStrictEqual(parsed, expected) ? { same: "trailing commas" } : { fault: "another value" };
  }
  return util.isDeepStrictEqual(parsed, expected) ? { same: "JSON.parse" } : { fault: "another value" };
}
function compareStyle(input, output, dialect) {
  let before;
  try {
    before = tokens(input, dialect);
  } catch (error) {
    return { leftOut: "the tokenizer refuses the input (" + error.reason + ")" };
  }
  let after;
  try {
    after = tokens(output, dialect);
  } catch (error) {
    return { fault: "the tokenizer refuses the output (" + error.reason + ")" };
  }
  if (after.comments > 0) return { fault: "a comment is left" };
  if (before.list.join("\u0000") !== after.list.join("\u0000")) {
    const at = before.list.findIndex((token, i) => token !== after.list[i]);
    return { fault: "tokens differ at token " + at + ": " + before.list[at] + " / " + after.list[at] };
  }
  if (dialect === "less") {
    let root;
    try {
      less.parse(input);
    } catch (error) {
      return { same: "tokens (postcss-less does not parse the input)" };
    }
    try {
      root = less.parse(output);
    } catch (error) {
      return { fault: "postcss-less does not parse the output: " + error.message };
    }
    let left = 0;
    root.walkComments(() => left++);
    if (left > 0) return { fault: "postcss-less finds a comment left" };
  }
  return { same: "tokens" };
}

const counts = {};
const count = (key) => (counts[key] = (counts[key] || 0) + 1);
let faults = 0;
for (const row of fs.readFileSync(process.argv[3], "utf8").split("\n").filter(Boolean)) {
  const [file, outputFile, warning] = row.split("\t");
  const dialect = path.extname(file).slice(1).toLowerCase().replace(/^json[c5]?$/, "json");
  const input = fs.readFileSync(file, "latin1"), output = fs.readFileSync(outputFile, "latin1");
  let result;
  if (lines(input) !== lines(output)) result = { fault: "the line count changed" };
  else result = dialect === "json" ? compareJson(input, output) : compareStyle(input, output, dialect);
  const note = warning ? " (" + warning.trim() + ")" : "";
  if (result.leftOut) {
    count(dialect + " left out");
    console.log("left out: " + file + ": " + result.leftOut + note);
  } else if (result.fault) {
    faults++;
    count(dialect + " different");
    console.log("DIFFERENT: " + file + ": " + result.fault + note);
  } else {
    count(dialect + " the same (" + result.same + ")");
    if (warning) console.log("the same, with a warning: " + file + note);
  }
}
for (const key of Object.keys(counts).sort()) console.log(counts[key] + "\t" + key);
process.exit(faults === 0 ? 0 : 1);
SCRIPT
node "$outputs/compare.js" "$parsers" "$list"
