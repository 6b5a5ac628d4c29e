; a line comment
;* a block
   comment *; (script continuous c ;* inside *; (sleep 30) ; the end
)
