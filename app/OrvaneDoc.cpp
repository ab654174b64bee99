// placeholder, replaced by the document
