#pragma once

#include <string>

// The checks every published file gets from an outside reader, whatever application wrote it.
namespace officetest {

struct PublishedSet {
    std::string source;
    std::string text;
    std::string unicodeText;
    std::string html;
    std::string webArchive;
    std::string pdf;
    std::string xps;
};

// The outputs of source beside it in folder, named as the publishers name them (the full name
// with the suffix appended); xps stays empty unless withXps.
PublishedSet outputsBeside(const std::string& source, const std::string& folder, bool withXps);

// Text: UTF-8 without byte order mark, CR LF only. Unicode text: byte order mark, valid
// UTF-16 LE, CR LF only, the same text as the plain text file. Returns the decoded text.
std::string checkTextPair(const PublishedSet& set);
// PDF: tagged, at least one page; the document's words (from its text export) are in its text.
void checkPdf(const PublishedSet& set, const std::string& documentText);
// HTML and web archive files hold the words, and the page gives every picture an alt text; the web archive is
// a MIME multipart/related file.
void checkHtmlFiles(const PublishedSet& set, const std::string& documentText);
// XPS: libgxps renders it to as many pages as the PDF, with the same words.
void checkXps(const PublishedSet& set, const std::string& documentText, const std::string& scratchPdf);
// Every check above on every output of set; the XPS check renders into scratchPdf. Returns the
// document's decoded text.
std::string checkEveryOutput(const PublishedSet& set, const std::string& scratchPdf);

}
