// placeholder, replaced by the download job
