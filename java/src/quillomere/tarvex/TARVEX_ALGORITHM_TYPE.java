package quillomere.tarvex;

/**
 * The analysis that produced a results file.
 *
 * <p>An object holds one value in {@link #m_nEnumType}; the constants name the values.
 */
public class TARVEX_ALGORITHM_TYPE {
    /** 0. */
    public static final int UNKNOWN_ALGORITHM_TYPE = 0;
    /** 1. */
    public static final int EMPIRICAL_ALGORITHM_TYPE = 1;
    /** 2. */
    public static final int STATISTICAL_ALGORITHM_TYPE = 2;
    /** 3. */
    public static final int GENOTYPING_ALGORITHM_TYPE = 3;
    /** 4. */
    public static final int CUSTOMSEQ_ALGORITHM_TYPE = 4;

    /** The value. */
    public int m_nEnumType;

    /**
     * Makes an object holding a value.
     *
     * @param value the value, one of the constants of this class
     */
    public TARVEX_ALGORITHM_TYPE(int value) {
        m_nEnumType = value;
    }

    /**
     * The number of a value.
     *
     * @param value an object of this class
     * @return its number
     * @throws NullPointerException when {@code value} is null
     */
    public static int getEnumType(TARVEX_ALGORITHM_TYPE value) {
        return value.m_nEnumType;
    }

    /** Objects holding the same value are equal. */
    @Override
    public boolean equals(Object other) {
        return other instanceof TARVEX_ALGORITHM_TYPE && ((TARVEX_ALGORITHM_TYPE) other).m_nEnumType == m_nEnumType;
    }

    @Override
    public int hashCode() {
        return m_nEnumType;
    }

    /** The name of the value, or its number when it has no name. */
    @Override
    public String toString() {
        switch (m_nEnumType) {
            case UNKNOWN_ALGORITHM_TYPE: return "UNKNOWN_ALGORITHM_TYPE";
            case EMPIRICAL_ALGORITHM_TYPE: return "EMPIRICAL_ALGORITHM_TYPE";
            case STATISTICAL_ALGORITHM_TYPE: return "STATISTICAL_ALGORITHM_TYPE";
            case GENOTYPING_ALGORITHM_TYPE: return "GENOTYPING_ALGORITHM_TYPE";
            case CUSTOMSEQ_ALGORITHM_TYPE: return "CUSTOMSEQ_ALGORITHM_TYPE";
            default: return Integer.toString(m_nEnumType);
        }
    }
}
