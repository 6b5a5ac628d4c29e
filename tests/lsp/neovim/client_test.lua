-- A real client: Neovim's own LSP client starts `xsc lsp`, opens a script with a mistake, and
-- the diagnostics it receives, a completion (of a function, of a camera point of the workspace's
-- map) and a hover are checked. Run by run.sh; XSC_PROGRAM
-- is the xsc to start, XSC_WORKSPACE the folder holding intro.hsc. Nothing here waits for a fixed
-- time: each step waits for its answer, with a generous limit for a loaded machine.

local limit = 60000

local function check(value, message)
  if not value then error(message, 2) end
  return value
end

local function run()
  local root = os.getenv("XSC_WORKSPACE")
  vim.cmd("edit " .. root .. "/intro.hsc")
  local buffer = vim.api.nvim_get_current_buf()
  local id = check(vim.lsp.start_client({ name = "xsc", cmd = { os.getenv("XSC_PROGRAM"), "lsp" }, root_dir = root }),
    "the client did not start xsc lsp")
  vim.lsp.buf_attach_client(buffer, id)

  check(vim.wait(limit, function() return #vim.diagnostic.get(buffer) > 0 end, 20),
    "no diagnostics within " .. limit / 1000 .. " s")
  local found = {}
  for _, d in ipairs(vim.diagnostic.get(buffer)) do
    table.insert(found, string.format("%d:%d %s %s", d.lnum + 1, d.col + 1, d.code or "-", d.message))
  end
  table.sort(found)
  local expected = '2:10 unknown-name "soon" is no number and no engine global of the custom build (argument 1 of "sleep" is short)'
  check(vim.tbl_contains(found, expected), "diagnostics: expected\n  " .. expected .. "\namong\n  " .. table.concat(found, "\n  "))

  local client = check(vim.lsp.get_client_by_id(id), "no client")
  local document = { uri = vim.uri_from_bufnr(buffer) }
  -- "  (ai_pl" on line 3: completion of the function's name.
  local completion = check(client.request_sync("textDocument/completion",
    { textDocument = document, position = { line = 2, character = 7 } }, limit, buffer), "no completion answer")
  check(completion.err == nil, "completion failed: " .. vim.inspect(completion.err))
  local labels = {}
  for _, item in ipairs(completion.result.items or completion.result) do labels[item.label] = item.detail end
  check(labels["ai_place"], "ai_place is not offered: " .. vim.inspect(vim.tbl_keys(labels)))
  check(labels["ai_place"]:find("^%(ai_place ai%)"), "ai_place's detail: " .. tostring(labels["ai_place"]))

  -- "  (camera_set intro_" on line 4: the map's camera points that begin so, and nothing else.
  completion = check(client.request_sync("textDocument/completion",
    { textDocument = document, position = { line = 3, character = 20 } }, limit, buffer), "no completion answer")
  check(completion.err == nil, "completion failed: " .. vim.inspect(completion.err))
  labels = {}
  for _, item in ipairs(completion.result.items or completion.result) do table.insert(labels, item.label .. ": " .. item.detail) end
  table.sort(labels)
  local cameras = "intro_cam_1: cutscene camera point #1, intro_cam_2: cutscene camera point #2, intro_cam_3: cutscene camera point #3"
  check(table.concat(labels, ", ") == cameras, "camera points: expected\n  " .. cameras .. "\ngot\n  " .. table.concat(labels, ", "))

  local hover = check(client.request_sync("textDocument/hover",
    { textDocument = document, position = { line = 1, character = 4 } }, limit, buffer), "no hover answer")
  local text = hover.result and hover.result.contents and hover.result.contents.value or ""
  check(text:find("(sleep short [script])", 1, true) and text:find("Function 19 in the custom build", 1, true),
    "hover of sleep: " .. text)
  client.stop()
end

local ok, failure = pcall(run)
if ok then
  io.stdout:write("neovim: diagnostics, completion and hover as expected\n")
  vim.cmd("qall!")
else
  io.stderr:write("neovim: " .. tostring(failure) .. "\n")
  vim.cmd("cquit 1")
end
