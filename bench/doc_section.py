"""The parts of the documents that benchmarks write: what lies between
<!-- bench:NAME begin --> and <!-- bench:NAME end -->."""


def rewrite_section(doc, name, text):
    """Replaces section NAME of the Markdown file DOC with TEXT; stops the
    script when DOC has no such section, so that figures are never lost."""
    begin, end = f"<!-- bench:{name} begin -->", f"<!-- bench:{name} end -->"
    with open(doc) as file:
        content = file.read()
    if begin not in content or end not in content:
        raise SystemExit(f"{doc} has no {begin} ... {end} section")
    content = (content[:content.index(begin) + len(begin)] + "\n\n" + text.strip("\n") + "\n\n" +
               content[content.index(end):])
    with open(doc, "w") as file:
        file.write(content)
