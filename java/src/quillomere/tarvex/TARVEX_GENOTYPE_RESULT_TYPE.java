package quillomere.tarvex;

/**
 * The genotype call of a genotyping probe set.
 *
 * <p>An object holds one value in {@link #m_nEnumType}; the constants name the values.
 */
public class TARVEX_GENOTYPE_RESULT_TYPE {
    /** 0. */
    public static final int GENOTYPE_AA_CALL = 0;
    /** 1. */
    public static final int GENOTYPE_AB_CALL = 1;
    /** 2. */
    public static final int GENOTYPE_BB_CALL = 2;
    /** 3. */
    public static final int GENOTYPE_NO_CALL = 3;

    /** The value. */
    public int m_nEnumType;

    /**
     * Makes an object holding a value.
     *
     * @param value the value, one of the constants of this class
     */
    public TARVEX_GENOTYPE_RESULT_TYPE(int value) {
        m_nEnumType = value;
    }

    /**
     * The number of a value.
     *
     * @param value an object of this class
     * @return its number
     * @throws NullPointerException when {@code value} is null
     */
    public static int getEnumType(TARVEX_GENOTYPE_RESULT_TYPE value) {
        return value.m_nEnumType;
    }

    /** Objects holding the same value are equal. */
    @Override
    public boolean equals(Object other) {
        return other instanceof TARVEX_GENOTYPE_RESULT_TYPE && ((TARVEX_GENOTYPE_RESULT_TYPE) other).m_nEnumType == m_nEnumType;
    }

    @Override
    public int hashCode() {
        return m_nEnumType;
    }

    /** The name of the value, or its number when it has no name. */
    @Override
    public String toString() {
        switch (m_nEnumType) {
            case GENOTYPE_AA_CALL: return "GENOTYPE_AA_CALL";
            case GENOTYPE_AB_CALL: return "GENOTYPE_AB_CALL";
            case GENOTYPE_BB_CALL: return "GENOTYPE_BB_CALL";
            case GENOTYPE_NO_CALL: return "GENOTYPE_NO_CALL";
            default: return Integer.toString(m_nEnumType);
        }
    }
}
