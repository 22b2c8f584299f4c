;; VELKOR: start-up routines of the add-on
(princ "\nVELKOR RUR15")
